#include "runs/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Makes folder and the folders above it that are missing; 0, or the errno that stopped it.
int makeFolders(const Path& folder) {
    const QByteArray& bytes = folder.bytes();
    for (qsizetype slash = bytes.indexOf('/', 1);; slash = bytes.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? bytes : bytes.left(slash);
        if (!part.isEmpty() && ::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return errno;
        if (slash < 0) break;
    }
    struct stat made;
    if (::stat(folder.c_str(), &made) != 0) return errno;
    return S_ISDIR(made.st_mode) ? 0 : ENOTDIR;
}

}  // namespace

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

QByteArray FolderLock::keyOf(const Path& folder) {
    // Named by what the folder is, not by how it was reached: a link or another spelling
    // of the path finds the same lock.
    struct stat folderStatus;
    if (::stat(folder.c_str(), &folderStatus) != 0) return {};
    return QByteArray::number(quint64(folderStatus.st_dev)) + '-' +
           QByteArray::number(quint64(folderStatus.st_ino));
}

FolderLock::Outcome FolderLock::acquire(const Path& lockFolder, const Path& folder) {
    release();
    error_ = 0;
    const QByteArray key = keyOf(folder);
    if (key.isEmpty()) return Outcome::Missing;
    if (const int made = makeFolders(lockFolder); made != 0) {
        error_ = made;
        return Outcome::Unavailable;
    }
    const Path lockPath = lockFolder / (key + ".lock");
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error_ = errno;
        return Outcome::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        error_ = errno;
        ::close(fd);
        return busy ? Outcome::Busy : Outcome::Unavailable;
    }
    fd_ = fd;
    return Outcome::Held;
}

void FolderLock::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}
