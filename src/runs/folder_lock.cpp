#include "runs/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>

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
    const QByteArray key = keyOf(folder);
    if (key.isEmpty()) return Outcome::Unavailable;
    if (!QDir().mkpath(QFile::decodeName(lockFolder.bytes()))) return Outcome::Unavailable;
    const Path lockPath = lockFolder / (key + ".lock");
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return Outcome::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
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
