#include "platform/copy_tree.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>

namespace {

struct Identity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const Identity&) const = default;
};

FileError withMessage(int code, const QString& path, const QString& message) {
    FileError error;
    error.code = code;
    error.path = path;
    error.message = message;
    return error;
}

// Copies what is in the folder from into the new folder to, then gives to from's
// permissions and times (last, as adding items changes a folder's time and a read-only
// folder would refuse them). root is the top of the copy being made: meeting it in the
// source means the copy lies inside what it copies.
FileError copyFolder(FileSystem& files, const QString& from, const QString& to,
                     const Identity& root) {
    QList<FileSystem::Entry> entries;
    if (FileError e = files.readFolder(from, entries)) return e;
    for (const FileSystem::Entry& entry : entries) {
        const QString child = joinPath(from, entry.name);
        const QString target = joinPath(to, entry.name);
        if (!entry.isDirectory) {
            if (FileError e = files.copyEntry(child, target)) return e;
            continue;
        }
        const auto st = files.status(child);
        if (st && Identity{st->device, st->inode} == root)
            return withMessage(EINVAL, child,
                               QStringLiteral("A folder cannot be copied into itself."));
        if (FileError e = files.makeDirectory(target)) return e;
        if (FileError e = copyFolder(files, child, target, root)) return e;
    }
    return files.copyAttributes(from, to);
}

// Temporary names beside a copy path: ".NAME" + marker + 16 hexadecimal digits. A copy
// in progress is marked "partial", and a leftover of one is removed by a later run; an old
// item moved aside while its replacement goes in is marked "old" and never removed unseen.
const QString partialMarker = QStringLiteral(".desktidy-partial-");
const QString oldMarker = QStringLiteral(".desktidy-old-");
constexpr int randomDigits = 16;
constexpr qsizetype maxNameBytes = 255;

// The part of a temporary name that stands for the item's name: the name itself, or, where
// that would make a name too long for the file system, its start and a digest of the whole
// name, so that a temporary name still belongs to one item only.
QString nameStem(const QString& name) {
    const qsizetype room = maxNameBytes - 1 - partialMarker.size() - randomDigits;
    const QByteArray bytes = QFile::encodeName(name);
    if (bytes.size() <= room) return name;
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(randomDigits));
    QString start = name;
    while (QFile::encodeName(start).size() > room - 1 - randomDigits)
        start.chop(start.size() > 1 && start.back().isLowSurrogate() ? 2 : 1);
    return start + u'~' + digest;
}

QString temporaryPrefix(const QString& path, const QString& marker) {
    return joinPath(deletingLastPathComponent(path),
                    u'.' + nameStem(lastPathComponent(path)) + marker);
}

// A hidden name beside path that nothing else uses, marked as ours.
QString temporaryNameBeside(const QString& path, const QString& marker) {
    return temporaryPrefix(path, marker) +
           QStringLiteral("%1").arg(QRandomGenerator::global()->generate64(), randomDigits, 16,
                                    QChar(u'0'));
}

bool isRandomPart(QStringView digits) {
    return digits.size() == randomDigits && std::all_of(digits.begin(), digits.end(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
           });
}

void discard(FileSystem& files, const QString& path) {
    if (files.exists(path)) files.removeAll(path);
}

bool cannotExchangeHere(int code) { return code == EINVAL || code == ENOSYS || code == EOPNOTSUPP; }

// The copy at temp is complete and an item exists at copyPath: swap them, then remove the
// old one.
ReplaceOutcome putInPlace(FileSystem& files, const QString& temp, const QString& copyPath) {
    QString old = temp;  // after the swap the old item has the temporary name
    if (FileError swapped = files.exchange(temp, copyPath)) {
        if (!cannotExchangeHere(swapped.code)) {
            discard(files, temp);
            return {FileError::fromErrno(swapped.code, copyPath, QStringLiteral("replace"))};
        }
        // No swap on this file system (FAT sticks): move the old item aside, move the copy
        // in, and move the old item back when that fails.
        old = temporaryNameBeside(copyPath, oldMarker);
        if (FileError e = files.moveNoReplace(copyPath, old)) {
            discard(files, temp);
            return {FileError::fromErrno(e.code, copyPath, QStringLiteral("replace"))};
        }
        if (FileError e = files.moveNoReplace(temp, copyPath)) {
            FileError failed = FileError::fromErrno(e.code, copyPath, QStringLiteral("replace"));
            if (files.moveNoReplace(old, copyPath))
                failed.message +=
                    QStringLiteral(" The old item is kept as \u201c%1\u201d.").arg(old);
            discard(files, temp);
            return {failed};
        }
    }
    if (FileError e = files.removeAll(old)) {
        return {withMessage(e.code, old,
                            QStringLiteral("\u201c%1\u201d has been replaced, but its old version "
                                           "could not be removed completely; what is left of it "
                                           "is in \u201c%2\u201d. %3")
                                .arg(copyPath, old, e.message)),
                true};
    }
    return {{}, true};
}

}  // namespace

FileError copyTree(FileSystem& files, const QString& from, const QString& to) {
    const auto st = files.status(from);
    // copyEntry also reports a source that is missing or cannot be examined.
    if (!st || !st->isDirectory()) return files.copyEntry(from, to);
    if (FileError e = files.makeDirectory(to)) return e;
    const auto made = files.status(to);
    if (!made) return FileError::fromErrno(ENOENT, to, QStringLiteral("create"));
    return copyFolder(files, from, to, {made->device, made->inode});
}

ReplaceOutcome copyReplacing(FileSystem& files, const QString& from, const QString& copyPath) {
    const auto existing = files.status(copyPath);
    if (existing && existing->isDirectory())
        if (FileError e = checkOneFileSystem(files, copyPath)) return {e};
    QString temp;
    FileError copied;
    bool nameTaken = false;
    for (int attempt = 0; attempt < 8; ++attempt) {
        temp = temporaryNameBeside(copyPath, partialMarker);
        copied = copyTree(files, from, temp);
        nameTaken = copied.code == EEXIST && copied.path == temp;
        if (!nameTaken) break;
    }
    if (copied) {
        if (!nameTaken) discard(files, temp);
        if (copied.path == temp)  // say which item the user asked for, not our temporary name
            return {FileError::fromErrno(copied.code, copyPath, QStringLiteral("create"))};
        return {copied};
    }
    if (!files.exists(copyPath)) {
        FileError moved = files.moveNoReplace(temp, copyPath);
        if (!moved) return {{}, true};
        discard(files, temp);  // something took the name meanwhile; it stays
        return {FileError::fromErrno(moved.code, copyPath, QStringLiteral("create"))};
    }
    return putInPlace(files, temp, copyPath);
}

QStringList leftoverCopiesOf(FileSystem& files, const QString& copyPath) {
    const QString prefix = temporaryPrefix(copyPath, partialMarker);
    const QString folder = deletingLastPathComponent(copyPath);
    const QString namePrefix = lastPathComponent(prefix);
    QStringList leftovers;
    for (const QString& name : files.listNames(folder, true))
        if (name.startsWith(namePrefix) && isRandomPart(QStringView(name).mid(namePrefix.size())))
            leftovers << joinPath(folder, name);
    return leftovers;
}
