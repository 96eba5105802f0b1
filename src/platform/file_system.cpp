#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

FileStatus::Kind kindOf(mode_t mode) {
    if (S_ISREG(mode)) return FileStatus::Kind::File;
    if (S_ISDIR(mode)) return FileStatus::Kind::Directory;
    if (S_ISLNK(mode)) return FileStatus::Kind::Symlink;
    return FileStatus::Kind::Other;
}

// Used where renameat2 cannot refuse to replace: hard-link the item to its new name
// (which fails on a taken name), then drop the old name.
FileError moveByLink(const LocalFileSystem::MoveCalls& calls, const QByteArray& from,
                     const QByteArray& to, const QString& toPath) {
    if (calls.link(from.constData(), to.constData()) != 0)
        return FileError::fromErrno(errno, toPath, QStringLiteral("move"));
    if (calls.unlink(from.constData()) != 0) {
        int saved = errno;
        calls.unlink(to.constData());  // the item is still at its old name
        return FileError::fromErrno(saved, toPath, QStringLiteral("move"));
    }
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

FileError FileError::fromErrno(int errnoValue, const QString& path, const QString& what) {
    FileError error;
    error.code = errnoValue;
    error.path = path;
    error.message =
        QStringLiteral("Could not %1 \u201c%2\u201d: %3.")
            .arg(what, lastPathComponent(path), QString::fromLocal8Bit(std::strerror(errnoValue)));
    return error;
}

bool FileSystem::isDirectory(const QString& path) {
    auto st = status(path);
    return st && st->isDirectory();
}

QStringList LocalFileSystem::listNames(const QString& folder, bool includeHidden) {
    QStringList names;
    for (const Entry& entry : LocalFileSystem::listEntries(folder, includeHidden))
        names.append(entry.name);
    return names;
}

std::optional<FileStatus> LocalFileSystem::status(const QString& path) {
    const QByteArray p = native(path);
    struct statx stx;
    if (::statx(AT_FDCWD, p.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_BASIC_STATS,
                &stx) == 0) {
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
        return s;
    }
    if (errno != ENOSYS && errno != EPERM) return std::nullopt;  // EPERM: a seccomp filter
    struct stat st;
    if (::lstat(p.constData(), &st) != 0) return std::nullopt;
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

FileError LocalFileSystem::moveNoReplace(const QString& from, const QString& to) {
    const QByteArray f = native(from), t = native(to);
    if (moveCalls.renameNoReplace(f.constData(), t.constData()) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return FileError::fromErrno(errno, from, QStringLiteral("move"));

    // The file system does not know the no-replace flag.
    struct stat st;
    if (::lstat(f.constData(), &st) != 0)
        return FileError::fromErrno(errno, from, QStringLiteral("move"));
    if (!S_ISDIR(st.st_mode)) {
        FileError linked = moveByLink(moveCalls, f, t, to);
        if (!linked || (linked.code != EPERM && linked.code != EOPNOTSUPP)) return linked;
    }
    // Folders cannot be hard-linked: check right before the rename, the best this file
    // system allows.
    struct stat target;
    if (::lstat(t.constData(), &target) == 0)
        return FileError::fromErrno(EEXIST, to, QStringLiteral("move"));
    if (::rename(f.constData(), t.constData()) != 0)  // noreplace: checked just above
        return FileError::fromErrno(errno, from, QStringLiteral("move"));
    return {};
}

FileError LocalFileSystem::makeDirectory(const QString& path) {
    if (::mkdir(native(path).constData(), 0777) != 0)
        return FileError::fromErrno(errno, path, QStringLiteral("create folder"));
    return {};
}

FileError LocalFileSystem::removeEmptyDirectory(const QString& path) {
    if (::rmdir(native(path).constData()) != 0)
        return FileError::fromErrno(errno, path, QStringLiteral("remove"));
    return {};
}

FileError LocalFileSystem::removeAll(const QString& path) {
    const QByteArray p = native(path);
    struct stat st;
    if (::lstat(p.constData(), &st) != 0)
        return FileError::fromErrno(errno, path, QStringLiteral("remove"));
    if (!S_ISDIR(st.st_mode)) {
        if (::unlink(p.constData()) != 0)
            return FileError::fromErrno(errno, path, QStringLiteral("remove"));
        return {};
    }
    const auto top = status(path);
    if (!top) return FileError::fromErrno(ENOENT, path, QStringLiteral("remove"));
    return removeFolder(path, top->device);
}

// Removes the folder and what it holds, entering only folders on device. Everything else
// goes even after a failure; the first failure is reported.
FileError LocalFileSystem::removeFolder(const QString& path, std::uint64_t device) {
    const auto st = status(path);
    if (!st) return FileError::fromErrno(ENOENT, path, QStringLiteral("remove"));
    if (st->device != device || st->mountRoot) return otherFileSystemAt(path);
    QList<Entry> entries;
    if (FileError e = readFolder(path, entries)) return e;
    FileError first;
    for (const Entry& entry : entries) {
        const QString child = joinPath(path, entry.name);
        FileError e;
        if (entry.isDirectory)
            e = removeFolder(child, device);
        else if (::unlink(native(child).constData()) != 0)
            e = FileError::fromErrno(errno, child, QStringLiteral("remove"));
        // A child not found under its listed name may still be there (a name that is not
        // UTF-8 does not read back); the rmdir below tells.
        if (e && e.code != ENOENT && !first) first = e;
    }
    if (first) return first;
    if (::rmdir(native(path).constData()) != 0)
        return FileError::fromErrno(errno, path, QStringLiteral("remove"));
    return {};
}

FileError otherFileSystemAt(const QString& mountPoint) {
    FileError error;
    error.code = EXDEV;
    error.path = mountPoint;
    error.message = QStringLiteral(
                        "\u201c%1\u201d is the mount point of another file system, "
                        "which is never removed with the folder around it.")
                        .arg(mountPoint);
    return error;
}

FileError checkOneFileSystem(FileSystem& files, const QString& folder) {
    const auto top = files.status(folder);
    if (!top) return FileError::fromErrno(ENOENT, folder, QStringLiteral("read"));
    QStringList pending{folder};
    while (!pending.isEmpty()) {
        const QString current = pending.takeLast();
        const auto st = files.status(current);
        if (!st) return FileError::fromErrno(ENOENT, current, QStringLiteral("read"));
        if (st->device != top->device || st->mountRoot) return otherFileSystemAt(current);
        QList<FileSystem::Entry> entries;
        if (FileError e = files.readFolder(current, entries)) return e;
        for (auto entry = entries.crbegin(); entry != entries.crend(); ++entry)  // name order
            if (entry->isDirectory) pending.append(joinPath(current, entry->name));
    }
    return {};
}

QString lastPathComponent(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith(u'/')) p.chop(1);
    if (p == u"/") return p;
    int slash = p.lastIndexOf(u'/');
    return slash < 0 ? p : p.mid(slash + 1);
}

QString deletingLastPathComponent(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith(u'/')) p.chop(1);
    int slash = p.lastIndexOf(u'/');
    if (slash < 0) return QString();
    if (slash == 0) return QStringLiteral("/");
    return p.left(slash);
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(u'/')) return folder + name;
    return folder + u'/' + name;
}
