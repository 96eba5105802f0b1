// LocalFileSystem's copying primitives: one item at a time, never replacing anything.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/disk_changes.h"
#include "platform/file_system.h"

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, so that a late write error (a full stick, a network share) is seen.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

  private:
    int fd_;
};

// The permission bits a copy keeps. Set-user-ID and set-group-ID stay only when the copy
// has the original's owner and group: otherwise they would lend the copier's rights to
// whoever runs the copy.
mode_t keptMode(const struct stat& original, const struct stat& copy) {
    mode_t mode = original.st_mode & 07777;
    if (copy.st_uid != original.st_uid || copy.st_gid != original.st_gid)
        mode &= ~mode_t(S_ISUID | S_ISGID);
    return mode;
}

// Copies the rest of in to out from their current offsets. Returns 0 or an errno value.
int copyContents(int in, int out) {
    // A clone shares the blocks where the file system can (btrfs, xfs); elsewhere the
    // kernel copies without a trip through user space; only then do we read and write.
    if (::ioctl(out, FICLONE, in) == 0) return 0;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, std::size_t(1) << 30, 0);
        if (n == 0) return 0;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return errno;
        break;
    }
    static thread_local std::vector<char> buffer(std::size_t(256) << 10);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0) return 0;
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.data() + done, std::size_t(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            done += put;
        }
    }
}

FileError copyRegularFile(const Path& from, const Path& to) {
    Descriptor in(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!in.valid()) return FileError::fromErrno(errno, from, QStringLiteral("read"));
    struct stat original;
    if (::fstat(in.get(), &original) != 0)
        return FileError::fromErrno(errno, from, QStringLiteral("read"));
    Descriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out.valid()) return FileError::fromErrno(errno, to, QStringLiteral("create"));

    int error = copyContents(in.get(), out.get());
    mode_t mode = original.st_mode & 07777;
    struct stat copy;
    if (error == 0 && (mode & (S_ISUID | S_ISGID))) {  // only then does the owner matter
        if (::fstat(out.get(), &copy) == 0)
            mode = keptMode(original, copy);
        else
            error = errno;
    }
    if (error == 0 && ::fchmod(out.get(), mode) != 0) error = errno;
    const struct timespec times[2] = {original.st_atim, original.st_mtim};
    if (error == 0 && ::futimens(out.get(), times) != 0) error = errno;
    if (out.close() != 0 && error == 0) error = errno;
    if (error == 0) return {};
    ::unlink(to.c_str());  // nothing half-copied stays behind
    return FileError::fromErrno(error, from, QStringLiteral("copy"));
}

FileError copySymlink(const Path& from, const Path& to, const struct stat& original) {
    std::vector<char> target(std::size_t(original.st_size > 0 ? original.st_size : 255) + 1);
    for (;;) {
        const ssize_t n = ::readlink(from.c_str(), target.data(), target.size());
        if (n < 0) return FileError::fromErrno(errno, from, QStringLiteral("read"));
        if (std::size_t(n) < target.size()) {
            target[std::size_t(n)] = 0;
            break;
        }
        target.resize(target.size() * 2);  // the link changed since lstat
    }
    if (::symlink(target.data(), to.c_str()) != 0)
        return FileError::fromErrno(errno, to, QStringLiteral("create"));
    const struct timespec times[2] = {original.st_atim, original.st_mtim};
    if (::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return FileError::fromErrno(error, to, QStringLiteral("copy"));
    }
    return {};
}

// Gives to the permissions and times of from; for a link, the times only.
FileError copyAttributesOf(const Path& from, const Path& to) {
    struct stat original, copy;
    if (::lstat(from.c_str(), &original) != 0)
        return FileError::fromErrno(errno, from, QStringLiteral("read"));
    if (::lstat(to.c_str(), &copy) != 0)
        return FileError::fromErrno(errno, to, QStringLiteral("copy"));
    if ((original.st_mode & S_IFMT) != (copy.st_mode & S_IFMT))
        return FileError::fromErrno(EINVAL, to, QStringLiteral("copy"));
    // chmod would follow a link, and a link has no permissions of its own.
    if (!S_ISLNK(copy.st_mode) && ::chmod(to.c_str(), keptMode(original, copy)) != 0)
        return FileError::fromErrno(errno, to, QStringLiteral("copy"));
    const struct timespec times[2] = {original.st_atim, original.st_mtim};
    if (::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return FileError::fromErrno(errno, to, QStringLiteral("copy"));
    return {};
}

FileError copyEntryOf(const Path& from, const Path& to) {
    struct stat original;
    if (::lstat(from.c_str(), &original) != 0)
        return FileError::fromErrno(errno, from, QStringLiteral("copy"));
    if (S_ISREG(original.st_mode)) return copyRegularFile(from, to);
    if (S_ISLNK(original.st_mode)) return copySymlink(from, to, original);
    if (S_ISDIR(original.st_mode))
        return FileError::fromErrno(EISDIR, from, QStringLiteral("copy"));
    // A pipe, socket or device: a new node of the same kind, as cp -a makes.
    if (::mknod(to.c_str(), original.st_mode & (S_IFMT | 0700), original.st_rdev) != 0)
        return FileError::fromErrno(errno, to, QStringLiteral("create"));
    FileError finished = copyAttributesOf(from, to);
    if (!finished.ok()) ::unlink(to.c_str());
    return finished;
}

// A copy step is one change to the disk, counted once it is made.
FileError counted(FileError result) {
    if (result.ok()) countDiskChange();
    return result;
}

}  // namespace

FileError LocalFileSystem::copyEntry(const Path& from, const Path& to) {
    return counted(copyEntryOf(from, to));
}

FileError LocalFileSystem::copyAttributes(const Path& from, const Path& to) {
    return counted(copyAttributesOf(from, to));
}

FileError LocalFileSystem::exchange(const Path& first, const Path& second) {
    if (countedChange(
            ::renameat2(AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), RENAME_EXCHANGE)) != 0)
        return FileError::fromErrno(errno, second, QStringLiteral("replace"));
    return {};
}
