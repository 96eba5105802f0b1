#include "platform/copy_tree.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>

namespace {

struct Identity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const Identity&) const = default;
};

FileError withMessage(int code, const Path& path, const QString& message) {
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
FileError copyFolder(FileSystem& files, const Path& from, const Path& to, const Identity& root) {
    NameList names;
    if (FileError e = files.readFolder(from, names); !e.ok()) return e;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QByteArray name = names.name(i);
        const Path child = from / name;
        const Path target = to / name;
        if (!names.isDirectory(i)) {
            if (FileError e = files.copyEntry(child, target); !e.ok()) return e;
            continue;
        }
        const auto st = files.status(child);
        if (st && Identity{st->device, st->inode} == root)
            return withMessage(EINVAL, child,
                               QStringLiteral("A folder cannot be copied into itself."));
        if (FileError e = files.makeDirectory(target); !e.ok()) return e;
        if (FileError e = copyFolder(files, child, target, root); !e.ok()) return e;
    }
    return files.copyAttributes(from, to);
}

// Temporary names beside a copy path: ".NAME" + marker + 16 hexadecimal digits. A copy
// in progress is marked "partial", and a leftover of one is removed by a later run; an old
// item moved aside while its replacement goes in is marked "old" and never removed unseen.
const QByteArray partialMarker = QByteArrayLiteral(".desktidy-partial-");
const QByteArray oldMarker = QByteArrayLiteral(".desktidy-old-");
constexpr int randomDigits = 16;
constexpr qsizetype maxNameBytes = 255;

// The part of a temporary name that stands for the item's name: the name itself, or, where
// that would make a name too long for the file system, its start and a digest of the whole
// name, so that a temporary name still belongs to one item only. The start ends before a
// character, not inside one, so the name of a UTF-8 item stays UTF-8.
QByteArray nameStem(const QByteArray& name) {
    const qsizetype room = maxNameBytes - 1 - partialMarker.size() - randomDigits;
    if (name.size() <= room) return name;
    const QByteArray digest =
        QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex().left(randomDigits);
    qsizetype cut = room - 1 - randomDigits;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    return name.left(cut) + '~' + digest;
}

Path temporaryPrefix(const Path& path, const QByteArray& marker) {
    return path.parent() / ('.' + nameStem(path.fileName()) + marker);
}

// A hidden name beside path that nothing else uses, marked as ours.
Path temporaryNameBeside(const Path& path, const QByteArray& marker) {
    return Path(temporaryPrefix(path, marker).bytes() +
                QByteArray::number(QRandomGenerator::global()->generate64(), 16)
                    .rightJustified(randomDigits, '0'));
}

bool isRandomPart(QByteArrayView digits) {
    return digits.size() == randomDigits && std::all_of(digits.begin(), digits.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

void discard(FileSystem& files, const Path& path) {
    // What cannot be removed of our own temporary copy stays, hidden, for a later run.
    if (files.exists(path)) (void)files.removeAll(path);
}

bool cannotExchangeHere(int code) { return code == EINVAL || code == ENOSYS || code == EOPNOTSUPP; }

// The copy at temp is complete and an item exists at copyPath: swap them, then remove the
// old one.
ReplaceOutcome putInPlace(FileSystem& files, const Path& temp, const Path& copyPath) {
    Path old = temp;  // after the swap the old item has the temporary name
    if (FileError swapped = files.exchange(temp, copyPath); !swapped.ok()) {
        if (!cannotExchangeHere(swapped.code)) {
            discard(files, temp);
            return {FileError::fromErrno(swapped.code, copyPath, QStringLiteral("replace"))};
        }
        // No swap on this file system (FAT sticks): move the old item aside, move the copy
        // in, and move the old item back when that fails.
        old = temporaryNameBeside(copyPath, oldMarker);
        if (FileError e = files.moveNoReplace(copyPath, old); !e.ok()) {
            discard(files, temp);
            return {FileError::fromErrno(e.code, copyPath, QStringLiteral("replace"))};
        }
        if (FileError e = files.moveNoReplace(temp, copyPath); !e.ok()) {
            FileError failed = FileError::fromErrno(e.code, copyPath, QStringLiteral("replace"));
            if (!files.moveNoReplace(old, copyPath).ok())
                failed.message +=
                    QStringLiteral(" The old item is kept as \u201c%1\u201d.").arg(old.display());
            discard(files, temp);
            return {failed};
        }
    }
    if (FileError e = files.removeAll(old); !e.ok()) {
        return {withMessage(e.code, old,
                            QStringLiteral("\u201c%1\u201d has been replaced, but its old version "
                                           "could not be removed completely; what is left of it "
                                           "is in \u201c%2\u201d. %3")
                                .arg(copyPath.display(), old.display(), e.message)),
                true};
    }
    return {{}, true};
}

}  // namespace

FileError copyTree(FileSystem& files, const Path& from, const Path& to) {
    const auto st = files.status(from);
    // copyEntry also reports a source that is missing or cannot be examined.
    if (!st || !st->isDirectory()) return files.copyEntry(from, to);
    if (FileError e = files.makeDirectory(to); !e.ok()) return e;
    const auto made = files.status(to);
    if (!made) return FileError::fromErrno(ENOENT, to, QStringLiteral("create"));
    return copyFolder(files, from, to, {made->device, made->inode});
}

PartialCopy copyBeside(FileSystem& files, const Path& from, const Path& copyPath,
                       const std::function<bool(const Path&, FileError&)>& beforeCopy) {
    Path temp;
    FileError copied;
    bool nameTaken = false;
    for (int attempt = 0; attempt < 8; ++attempt) {
        temp = temporaryNameBeside(copyPath, partialMarker);
        if (beforeCopy && !beforeCopy(temp, copied)) return {copied, {}};
        copied = copyTree(files, from, temp);
        nameTaken = copied.code == EEXIST && copied.path == temp;
        if (!nameTaken) break;
    }
    if (copied.ok()) return {{}, temp};
    if (!nameTaken) discard(files, temp);
    if (copied.path == temp)  // say which item the user asked for, not our temporary name
        return {FileError::fromErrno(copied.code, copyPath, QStringLiteral("create")), {}};
    return {copied, {}};
}

ReplaceOutcome copyReplacing(FileSystem& files, const Path& from, const Path& copyPath) {
    const auto existing = files.status(copyPath);
    if (existing && existing->isDirectory())
        if (FileError e = checkOneFileSystem(files, copyPath); !e.ok()) return {e};
    const PartialCopy copy = copyBeside(files, from, copyPath);
    if (!copy.error.ok()) return {copy.error};
    if (!files.exists(copyPath)) {
        FileError moved = files.moveNoReplace(copy.path, copyPath);
        if (moved.ok()) return {{}, true};
        discard(files, copy.path);  // something took the name meanwhile; it stays
        return {FileError::fromErrno(moved.code, copyPath, QStringLiteral("create"))};
    }
    return putInPlace(files, copy.path, copyPath);
}

QList<Path> leftoverCopiesOf(FileSystem& files, const Path& copyPath) {
    const Path folder = copyPath.parent();
    const QByteArray namePrefix = temporaryPrefix(copyPath, partialMarker).fileName();
    const NameList names = files.listNames(folder, true);
    QList<Path> leftovers;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QByteArrayView name = names.at(i);
        if (name.startsWith(namePrefix) && isRandomPart(name.sliced(namePrefix.size())))
            leftovers << folder / names.name(i);
    }
    return leftovers;
}
