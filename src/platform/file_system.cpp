#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QList>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/disk_changes.h"

namespace {

FileStatus::Kind kindOf(mode_t mode) {
    if (S_ISREG(mode)) return FileStatus::Kind::File;
    if (S_ISDIR(mode)) return FileStatus::Kind::Directory;
    if (S_ISLNK(mode)) return FileStatus::Kind::Symlink;
    return FileStatus::Kind::Other;
}

// Used where renameat2 cannot refuse to replace: hard-link the item to its new name
// (which fails on a taken name), then drop the old name.
FileError moveByLink(const LocalFileSystem::MoveCalls& calls, const Path& from, const Path& to) {
    if (calls.link(from.c_str(), to.c_str()) != 0)
        return FileError::fromErrno(errno, to, QStringLiteral("move"));
    if (calls.unlink(from.c_str()) != 0) {
        int saved = errno;
        calls.unlink(to.c_str());  // the item is still at its old name
        return FileError::fromErrno(saved, to, QStringLiteral("move"));
    }
    countDiskChange();
    return {};
}

}  // namespace

LocalFileSystem::MoveCalls LocalFileSystem::systemMoveCalls() {
    return {
        [](const char* from, const char* to) {
            return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
        },
        [](const char* from, const char* to) { return ::linkat(AT_FDCWD, from, AT_FDCWD, to, 0); },
        ::unlink};
}

FileError FileError::fromErrno(int errnoValue, const Path& path, const QString& what) {
    FileError error;
    error.code = errnoValue;
    error.path = path;
    error.message = QStringLiteral("Could not %1 \u201c%2\u201d: %3.")
                        .arg(what, displayName(path.fileName()),
                             QString::fromLocal8Bit(std::strerror(errnoValue)));
    return error;
}

bool FileSystem::isDirectory(const Path& path) {
    auto st = status(path);
    return st && st->isDirectory();
}

std::optional<FileStatus> LocalFileSystem::status(const Path& path) {
    struct statx stx;
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                STATX_BASIC_STATS | STATX_BTIME, &stx) == 0) {
        FileStatus s;
        s.kind = kindOf(stx.stx_mode);
        s.size = std::int64_t(stx.stx_size);
        s.blocks = std::int64_t(stx.stx_blocks);
        s.mtimeSeconds = stx.stx_mtime.tv_sec;
        s.mtimeNanoseconds = stx.stx_mtime.tv_nsec;
        s.mode = stx.stx_mode;
        s.device = makedev(stx.stx_dev_major, stx.stx_dev_minor);
        s.inode = stx.stx_ino;
        s.links = stx.stx_nlink;
        // Only statx tells a bind mount of the same file system from a plain folder.
        s.mountRoot = (stx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
                      (stx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
        s.birthKnown = (stx.stx_mask & STATX_BTIME) != 0;
        if (s.birthKnown) {
            s.birthSeconds = stx.stx_btime.tv_sec;
            s.birthNanoseconds = stx.stx_btime.tv_nsec;
        }
        return s;
    }
    if (errno != ENOSYS && errno != EPERM) return std::nullopt;  // EPERM: a seccomp filter
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
    FileStatus s;
    s.kind = kindOf(st.st_mode);
    s.size = st.st_size;
    s.blocks = st.st_blocks;
    s.mtimeSeconds = st.st_mtim.tv_sec;
    s.mtimeNanoseconds = st.st_mtim.tv_nsec;
    s.mode = st.st_mode;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.links = st.st_nlink;
    return s;
}

FileError LocalFileSystem::moveNoReplace(const Path& from, const Path& to) {
    if (countedChange(moveCalls.renameNoReplace(from.c_str(), to.c_str())) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return FileError::fromErrno(errno, from, QStringLiteral("move"));

    // The file system does not know the no-replace flag.
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0)
        return FileError::fromErrno(errno, from, QStringLiteral("move"));
    if (!S_ISDIR(st.st_mode)) {
        FileError linked = moveByLink(moveCalls, from, to);
        if (linked.ok() || (linked.code != EPERM && linked.code != EOPNOTSUPP)) return linked;
    }
    // Folders cannot be hard-linked: check right before the rename, the best this file
    // system allows.
    struct stat target;
    if (::lstat(to.c_str(), &target) == 0)
        return FileError::fromErrno(EEXIST, to, QStringLiteral("move"));
    if (countedChange(::rename(from.c_str(), to.c_str())) != 0)  // noreplace: checked above
        return FileError::fromErrno(errno, from, QStringLiteral("move"));
    return {};
}

FileError LocalFileSystem::makeDirectory(const Path& path) {
    if (countedChange(::mkdir(path.c_str(), 0777)) != 0)
        return FileError::fromErrno(errno, path, QStringLiteral("create folder"));
    return {};
}

FileError LocalFileSystem::removeEmptyDirectory(const Path& path) {
    if (countedChange(::rmdir(path.c_str())) != 0)
        return FileError::fromErrno(errno, path, QStringLiteral("remove"));
    return {};
}

FileError LocalFileSystem::removeAll(const Path& path) {
    return removeTree(path, removalHooks).summary();
}

FileError otherFileSystemAt(const Path& mountPoint) {
    FileError error;
    error.code = EXDEV;
    error.path = mountPoint;
    error.message = QStringLiteral(
                        "\u201c%1\u201d is the mount point of another file system, "
                        "which is never removed with the folder around it.")
                        .arg(mountPoint.display());
    return error;
}

FileError checkOneFileSystem(FileSystem& files, const Path& folder) {
    const auto top = files.status(folder);
    if (!top) return FileError::fromErrno(ENOENT, folder, QStringLiteral("read"));
    QList<Path> pending{folder};
    while (!pending.isEmpty()) {
        const Path current = pending.takeLast();
        const auto st = files.status(current);
        if (!st) return FileError::fromErrno(ENOENT, current, QStringLiteral("read"));
        if (st->device != top->device || st->mountRoot) return otherFileSystemAt(current);
        NameList names;
        if (FileError e = files.readFolder(current, names); !e.ok()) return e;
        for (std::size_t i = names.size(); i-- > 0;)  // taken from the end: name order
            if (names.isDirectory(i)) pending.append(current / names.name(i));
    }
    return {};
}
