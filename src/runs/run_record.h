#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <optional>

#include "platform/path.h"

// An item as the file system knows it, whatever its name: a move keeps it, so an undo can
// tell the item a run moved from another one that took its name since.
struct ItemIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const ItemIdentity&, const ItemIdentity&) = default;
};

// One step of a run, in the order the run wrote them.
struct RunEntry {
    enum class Kind {
        Move,           // path moved to target; identity is the item's
        MadeFolder,     // path is a folder the run made (when done); identity is the folder's
        RemovedFolder,  // path was an empty folder the run removed
        Temporary,      // path is a temporary copy the run was making
        WroteFile,      // path is a file the run made holding contents (when done; identity is its)
        RemovedFile,    // path was a file holding contents, which the run removed
    };
    Kind kind = Kind::Move;
    qint64 id = 0;  // moves only: the number the "done" mark refers to
    Path path;
    Path target;
    ItemIdentity identity;
    bool done = false;  // moves only: the move was made (a move not marked may be made too)
    // Moved to another file system by other means (a tool) after the move itself failed:
    // identity is then the new item's.
    bool acrossDevices = false;
    QByteArray contents;  // a file written or removed: what it held
};

// What one run record says: the header, the steps, and the marks added since.
struct RunRecord {
    int number = 0;
    QByteArray kind;  // "file", "unfile", "archive", "file-all", "rename", "undo", ...
    QList<Path> folders;
    QDateTime time;
    qint64 pid = 0;
    QList<QPair<QByteArray, QByteArray>> options;
    QList<RunEntry> entries;
    QByteArray end;    // "done", "stopped" or "failed"; empty while running or when the writer died
    QString result;    // the run's result line, as it was reported
    int undoneBy = 0;  // the run that undid it, 0 when none (or when that was undone too)
    bool undone = false;
    bool noticed = false;  // a stopped run whose stop has been told and put right
    int planned = 0;       // the items its passes meant to move, as far as they began

    QByteArray option(const QByteArray& name) const;
    int movesMade() const;
};

// Reads a record's text. A line that cannot be read (the half-written last line of a run
// whose process was killed) is passed over. nullopt when the text is no run record.
std::optional<RunRecord> parseRunRecord(QByteArrayView text, int number);

// The line of an identity, "device:inode", and back; appendIdentity writes it after out.
QByteArray identityText(const ItemIdentity& identity);
void appendIdentity(QByteArray& out, const ItemIdentity& identity);
std::optional<ItemIdentity> identityFromText(const QByteArray& text);
