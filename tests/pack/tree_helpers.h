#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <ostream>

#include "support/faulty_file_system.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Sets an item's modification time (links: their own), to whole seconds plus nanoseconds.
void setModificationTime(const QString& path, qint64 seconds, long nanoseconds = 0);

// Builds a folder with what a copy must keep: nested and empty folders, a hidden file, a
// read-only folder, odd permissions and times, a relative link, a link to a folder outside
// the tree (which must not be followed) and a dangling link.
void buildSampleTree(const QString& root, const QString& outsideFolder);

// One line per item below root (root included): relative path, kind, permissions,
// modification time, and the contents of a file or the target of a link.
QStringList describeTree(const QString& root);

// The file system with copy-specific failures on request.
class CopyFaultFileSystem : public FaultyFileSystem {
public:
    int failCopiesAfter = -1;  // entries copied before every later copy fails with ENOSPC
    int copies = 0;
    int exchangeError = 0;    // when not 0, exchange fails with this errno
    QString failFirstMoveTo;  // the first move onto this path fails with EIO
    QHash<QString, int> failReadFolder;
    QHash<QString, int> failRemove;

    FileError copyEntry(const QString& from, const QString& to) override {
        if (failCopiesAfter >= 0 && copies >= failCopiesAfter)
            return FileError::fromErrno(ENOSPC, to, "create");
        ++copies;
        return LocalFileSystem::copyEntry(from, to);
    }
    FileError readFolder(const QString& folder, QStringList& names) override {
        if (failReadFolder.contains(folder))
            return FileError::fromErrno(failReadFolder.value(folder), folder, "read");
        return LocalFileSystem::readFolder(folder, names);
    }
    FileError moveNoReplace(const QString& from, const QString& to) override {
        if (!failFirstMoveTo.isEmpty() && to == failFirstMoveTo) {
            failFirstMoveTo.clear();
            return FileError::fromErrno(EIO, to, "move");
        }
        return FaultyFileSystem::moveNoReplace(from, to);
    }
    FileError exchange(const QString& first, const QString& second) override {
        if (exchangeError) return FileError::fromErrno(exchangeError, second, "replace");
        return LocalFileSystem::exchange(first, second);
    }
    FileError removeAll(const QString& path) override {
        if (failRemove.contains(path))
            return FileError::fromErrno(failRemove.value(path), path, "remove");
        return LocalFileSystem::removeAll(path);
    }
};
