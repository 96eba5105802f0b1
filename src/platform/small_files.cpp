#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/descriptor_io.h"
#include "platform/disk_changes.h"
#include "platform/file_system.h"

FileError LocalFileSystem::readSmallFile(const Path& path, QByteArray& contents, qsizetype limit) {
    const QString what = QStringLiteral("read");
    contents.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FileError::fromErrno(errno, path, what);
    struct stat st;
    int error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (!S_ISREG(st.st_mode))
        error = EINVAL;
    char buffer[4096];
    while (error == 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        if (contents.size() + n > limit)
            error = EFBIG;
        else
            contents.append(buffer, n);
    }
    ::close(fd);
    if (error == 0) return {};
    contents.clear();
    return FileError::fromErrno(error, path, what);
}

FileError LocalFileSystem::writeNewFile(const Path& path, const QByteArray& contents) {
    // O_EXCL: of two programs making the same name, one wins, and nothing is replaced.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return FileError::fromErrno(errno, path, QStringLiteral("create"));
    countDiskChange();
    int error = writeAll(fd, contents);
    if (error == 0 && !contents.isEmpty()) countDiskChange();
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0) return {};
    ::unlink(path.c_str());  // no half file keeps the name
    return FileError::fromErrno(error, path, QStringLiteral("write"));
}

FileError LocalFileSystem::removeFile(const Path& path) {
    if (countedChange(::unlink(path.c_str())) != 0)
        return FileError::fromErrno(errno, path, QStringLiteral("remove"));
    return {};
}
