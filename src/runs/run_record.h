#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <optional>

#include "platform/file_system.h"
#include "platform/path.h"

// An item as the file system knows it, whatever its name: a move keeps it, so an undo can
// tell the item a run moved from another one that took its name since.
struct ItemIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const ItemIdentity&, const ItemIdentity&) = default;
};

// A time a record holds ("clock" lines): read before the steps that follow it and after
// their items were there. An item born later is not one of them, whatever its inode.
struct RecordClock {
    bool known = false;  // records written before clocks were kept have none
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
};

// One step of a run, in the order the run wrote them.
struct RunEntry {
    enum class Kind {
        Move,           // path moved to target; identity is the item's
        MadeFolder,     // path is a folder the run made (when done); identity is the folder's
        RemovedFolder,  // path is an empty folder the run was about to remove
        Temporary,      // path is a temporary copy the run was making
        Exchange,       // path (a complete copy) and target swapped; identity is the copy's
        WroteFile,      // path is a file the run made holding contents (when done; identity is its)
        RemovedFile,    // path is a file holding contents, which the run was about to remove
    };
    Kind kind = Kind::Move;
    qint64 id = 0;  // moves and exchanges: the number the "done" mark refers to
    Path path;
    Path target;
    ItemIdentity identity;
    RecordClock clock;  // the record's clock when the step was written
    bool done = false;  // the step was made (a step not marked may be made too)
    // Moved to another file system by other means (a tool) after the move itself failed:
    // identity and clock are then the new item's.
    bool acrossDevices = false;
    QByteArray contents;  // a file written or removed: what it holds

    // Whether status is this step's item: the same device and inode and, where the file
    // system gives birth times and the record its clock, born no later than that clock.
    // A new file given the inode number of one the run moved is born after the move.
    bool isItem(const std::optional<FileStatus>& status) const;
    // Whether the step is one of the run's items: a move to a name that is not one of
    // the hidden names a run uses for a moment, or a copy put in place by an exchange.
    bool countsAsItem() const;
};

// What one run record says: the header, the steps, and the marks added since.
struct RunRecord {
    int number = 0;
    QByteArray kind;  // "file", "unfile", "archive", "file-all", "watch", "rename", "undo", ...
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

    // The run's items, the one count that history, the start-up notice and undo give:
    // the steps that count as items (RunEntry::countsAsItem) marked done, and, in a record
    // without its end (killed, or still running), those whose mark is missing but whose
    // item is found at its target; their ids are added to foundUnmarked when given.
    int itemCount(FileSystem& files, QList<qint64>* foundUnmarked = nullptr) const;
};

// Reads a record's text. A line that cannot be read (the half-written last line of a run
// whose process was killed) is passed over. nullopt when the text is no run record.
std::optional<RunRecord> parseRunRecord(QByteArrayView text, int number);

// The line of an identity, "device:inode", and back. writeIdentity writes it at out, which
// has room for identityLimit chars, and returns its end.
constexpr qsizetype identityLimit = 20 + 1 + 20;  // two 64-bit numbers and a colon
char* writeIdentity(char* out, const ItemIdentity& identity);
QByteArray identityText(const ItemIdentity& identity);
std::optional<ItemIdentity> identityFromText(const QByteArray& text);

// Whether name is one of the hidden names a run uses for a moment: a copy being made
// (".NAME.desktidy-partial-…"), an old item set aside (".NAME.desktidy-old-…"), a name on
// the way to a new letter case (".desktidy-case-N") or one that breaks a cycle of new
// names (".desktidy-rename-N").
bool isTemporaryCopyName(QByteArrayView name);
bool isTemporaryMoveName(QByteArrayView name);
inline bool isTemporaryName(QByteArrayView name) {
    return isTemporaryCopyName(name) || isTemporaryMoveName(name);
}
