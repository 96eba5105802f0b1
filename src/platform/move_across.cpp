#include "platform/move_across.h"

#include <cerrno>

#include "platform/copy_tree.h"

namespace {

// Why an item that holds another file system is not moved by copy, or ok.
FileError holdsAnotherFileSystem(FileSystem& files, const Path& item, const FileStatus& status) {
    FileError mount = status.mountRoot       ? otherFileSystemAt(item)
                      : status.isDirectory() ? checkOneFileSystem(files, item)
                                             : FileError{};
    if (mount.code != EXDEV) return mount;  // ok, or a folder inside that cannot be read
    const QString why = QStringLiteral(
        "; it was not moved, as a move to another file system would copy and then remove what "
        "is mounted there.");
    if (mount.path == item)
        mount.message = QStringLiteral("\u201c%1\u201d is the mount point of another file system")
                            .arg(item.display()) +
                        why;
    else
        mount.message =
            QStringLiteral("\u201c%1\u201d holds another file system, mounted at \u201c%2\u201d")
                .arg(item.display(), mount.path.display()) +
            why;
    mount.path = item;
    return mount;
}

void removeOurCopy(FileSystem& files, const Path& copy) {
    if (files.exists(copy)) (void)files.removeAll(copy);
}

}  // namespace

FileError refusalToMoveByCopy(FileSystem& files, const Path& item) {
    const std::optional<FileStatus> status = files.status(item);
    return status ? holdsAnotherFileSystem(files, item, *status) : FileError{};
}

FileError FileSystem::moveAcrossFileSystems(const Path& from, const Path& to) {
    return moveByCopy(*this, from, to);
}

FileError moveByCopy(FileSystem& files, const Path& from, const Path& to,
                     const MoveByCopySteps& steps) {
    const QString move = QStringLiteral("move");
    const std::optional<FileStatus> source = files.status(from);
    if (!source) return FileError::fromErrno(ENOENT, from, move);
    if (files.exists(to)) return FileError::fromErrno(EEXIST, to, move);
    if (FileError refused = holdsAnotherFileSystem(files, from, *source); !refused.ok())
        return refused;

    const PartialCopy copy = copyBeside(files, from, to, steps.copying);
    if (!copy.error.ok()) return copy.error;
    if (FileError placed = files.moveNoReplace(copy.path, to); !placed.ok()) {
        removeOurCopy(files, copy.path);  // something took the name meanwhile; it stays
        return FileError::fromErrno(placed.code, to, move);
    }
    if (steps.copied) {
        const std::optional<FileStatus> placed = files.status(to);
        FileError error = FileError::fromErrno(ENOENT, to, move);
        if (!placed || !steps.copied(*placed, error)) {
            removeOurCopy(files, to);
            return error;
        }
    }
    if (FileError removed = files.removeAll(from); !removed.ok()) {
        removed.message = QStringLiteral(
                              "\u201c%1\u201d was copied to \u201c%2\u201d, but could not be "
                              "removed completely. %3")
                              .arg(from.display(), to.display(), removed.message);
        return removed;
    }
    return {};
}
