#pragma once

#include <QHash>
#include <QStringList>

#include "platform/file_system.h"

// The real file system with failures injected where a test asks for them: a move or
// folder creation to a given path, or every operation after a number of successes
// (a disk that fills up), and folders that seem mounted from another device. Root ignores
// permissions, and not every test machine may mount, so this is how tests make things fail.
// Tests name the paths as text; a path is found by its UTF-8 reading.
class FaultyFileSystem : public LocalFileSystem {
  public:
    QHash<QString, int> failMoveTo;    // target path -> errno
    QHash<QString, int> failMoveFrom;  // source path -> errno
    QHash<QString, int> failMakeDirectory;
    int failMovesAfter = -1;   // moves allowed before every later one fails (ENOSPC)
    int failCopiesAfter = -1;  // entries copied before every later copy fails (ENOSPC)
    int moves = 0;
    QStringList movesMade;         // "from -> to", in order
    QStringList otherFileSystems;  // folders status() reports on another device

    static QString textOf(const Path& path) { return QString::fromUtf8(path.bytes()); }

    // The removal walks by descriptors, not through status(): it sees the same devices.
    FaultyFileSystem() {
        removalHooks.beforeEntering = [this](const Path& folder, FileStatus& seen) {
            if (otherFileSystems.contains(textOf(folder))) seen.device ^= 0x5a5a;
        };
    }
    FaultyFileSystem(const FaultyFileSystem&) = delete;  // the hook holds this one

    std::optional<FileStatus> status(const Path& path) override {
        auto st = LocalFileSystem::status(path);
        if (st && otherFileSystems.contains(textOf(path))) st->device ^= 0x5a5a;
        return st;
    }

    FileError moveNoReplace(const Path& from, const Path& to) override {
        if (failMoveTo.contains(textOf(to)))
            return FileError::fromErrno(failMoveTo.value(textOf(to)), to, "move");
        if (failMoveFrom.contains(textOf(from)))
            return FileError::fromErrno(failMoveFrom.value(textOf(from)), from, "move");
        if (failMovesAfter >= 0 && moves >= failMovesAfter)
            return FileError::fromErrno(28 /* ENOSPC */, to, "move");
        FileError e = LocalFileSystem::moveNoReplace(from, to);
        if (e.ok()) {
            ++moves;
            movesMade << textOf(from) + " -> " + textOf(to);
        }
        return e;
    }
    FileError copyEntry(const Path& from, const Path& to) override {
        if (failCopiesAfter == 0) return FileError::fromErrno(28 /* ENOSPC */, to, "create");
        if (failCopiesAfter > 0) --failCopiesAfter;
        return LocalFileSystem::copyEntry(from, to);
    }
    FileError makeDirectory(const Path& path) override {
        if (failMakeDirectory.contains(textOf(path)))
            return FileError::fromErrno(failMakeDirectory.value(textOf(path)), path,
                                        "create folder");
        return LocalFileSystem::makeDirectory(path);
    }
};
