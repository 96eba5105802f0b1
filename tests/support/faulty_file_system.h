#pragma once

#include <QHash>
#include <functional>

#include "platform/file_system.h"

// The real file system with failures injected where a test asks for them: a move or
// folder creation to a given path, or every operation after a number of successes
// (a disk that fills up), and folders that seem mounted from another device. Root ignores
// permissions, and not every test machine may mount, so this is how tests make things fail.
class FaultyFileSystem : public LocalFileSystem {
  public:
    QHash<QString, int> failMoveTo;    // target path -> errno
    QHash<QString, int> failMoveFrom;  // source path -> errno
    QHash<QString, int> failMakeDirectory;
    int failMovesAfter = -1;  // moves allowed before every later one fails (ENOSPC)
    int moves = 0;
    QStringList movesMade;         // "from -> to", in order
    QStringList otherFileSystems;  // folders status() reports on another device

    std::optional<FileStatus> status(const QString& path) override {
        auto st = LocalFileSystem::status(path);
        if (st && otherFileSystems.contains(path)) st->device ^= 0x5a5a;
        return st;
    }

    FileError moveNoReplace(const QString& from, const QString& to) override {
        if (failMoveTo.contains(to)) return FileError::fromErrno(failMoveTo.value(to), to, "move");
        if (failMoveFrom.contains(from))
            return FileError::fromErrno(failMoveFrom.value(from), from, "move");
        if (failMovesAfter >= 0 && moves >= failMovesAfter)
            return FileError::fromErrno(28 /* ENOSPC */, to, "move");
        FileError e = LocalFileSystem::moveNoReplace(from, to);
        if (!e) {
            ++moves;
            movesMade << from + " -> " + to;
        }
        return e;
    }
    FileError makeDirectory(const QString& path) override {
        if (failMakeDirectory.contains(path))
            return FileError::fromErrno(failMakeDirectory.value(path), path, "create folder");
        return LocalFileSystem::makeDirectory(path);
    }
};
