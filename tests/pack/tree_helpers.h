#pragma once

#include <QString>
#include <QStringList>
#include <cerrno>

#include "support/faulty_file_system.h"
#include "support/qstring_printer.h"

// A folder with what a copy must keep: nested, empty and read-only folders, a hidden file,
// odd permissions and times, a pipe, a relative link, a dangling link and a link to a
// folder outside the tree (which must not be followed).
void buildSampleTree(const QString& root, const QString& outsideFolder);

// One line per item below root, root included: path, kind, permissions, modification time
// and the contents of a file or the target of a link. Names as Path::display() shows them.
QStringList describeTree(const QString& root);
QStringList describeTree(const Path& root);

// The file system with copy failures on request.
class CopyFaultFileSystem : public FaultyFileSystem {
  public:
    int failCopiesAfter = -1;  // entries copied before every later copy fails with ENOSPC
    int exchangeError = 0;     // when not 0, exchange fails with this errno
    QString failFirstMoveTo;   // the first move onto this path fails with EIO
    QString failReadFolder;    // reading this folder fails with EACCES
    QString failRemoveAllOf;   // removeAll of a path containing this fails with EACCES

    FileError copyEntry(const Path& from, const Path& to) override {
        if (failCopiesAfter == 0) return FileError::fromErrno(ENOSPC, to, "create");
        if (failCopiesAfter > 0) --failCopiesAfter;
        return LocalFileSystem::copyEntry(from, to);
    }
    FileError readFolder(const Path& folder, NameList& names) override {
        if (textOf(folder) == failReadFolder) return FileError::fromErrno(EACCES, folder, "read");
        return LocalFileSystem::readFolder(folder, names);
    }
    FileError moveNoReplace(const Path& from, const Path& to) override {
        if (textOf(to) != failFirstMoveTo) return FaultyFileSystem::moveNoReplace(from, to);
        failFirstMoveTo.clear();
        return FileError::fromErrno(EIO, to, "move");
    }
    FileError removeAll(const Path& path) override {
        if (!failRemoveAllOf.isEmpty() && textOf(path).contains(failRemoveAllOf))
            return FileError::fromErrno(EACCES, path, "remove");
        return LocalFileSystem::removeAll(path);
    }
    FileError exchange(const Path& first, const Path& second) override {
        if (exchangeError) return FileError::fromErrno(exchangeError, second, "replace");
        return LocalFileSystem::exchange(first, second);
    }
};
