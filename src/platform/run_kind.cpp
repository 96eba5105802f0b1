#include "platform/run_kind.h"

#include <iterator>

namespace {

struct KindRow {
    RunKind kind;
    const char* key;
    const char* title;
    bool undoable;
};

// The one table of kinds: the keys are what records hold, so they never change.
constexpr KindRow kinds[] = {
    {RunKind::File, "file", "Desktidy", true},
    {RunKind::FileAll, "file-all", "File All Stashery", true},
    {RunKind::Scheduled, "scheduled", "Scheduled Filing", true},
    {RunKind::Watch, "watch", "Filing on Arrival", true},
    {RunKind::Archive, "archive", "Archive", true},
    {RunKind::Unfile, "unfile", "Undesktidy", true},
    {RunKind::UnfileAll, "unfile-all", "Unfile All Stashery", true},
    {RunKind::Rename, "rename", "Change Names", true},
    {RunKind::Pack, "pack", "Pack", false},
    {RunKind::Unpack, "unpack", "Unpack", false},
    {RunKind::RemoveApp, "remove-app", "Remove Application", true},
    {RunKind::Undo, "undo", "Undo", true},
    {RunKind::EmptyTrash, "empty-trash", "Empty Trash", false},
    {RunKind::Restore, "restore", "Put Back", true},
};

const KindRow& rowOf(RunKind kind) {
    for (const KindRow& row : kinds)
        if (row.kind == kind) return row;
    return kinds[0];  // every enumerator has a row
}

}  // namespace

QByteArray runKindKey(RunKind kind) { return QByteArray(rowOf(kind).key); }

QString runKindTitle(RunKind kind) { return QString::fromLatin1(rowOf(kind).title); }

std::optional<RunKind> runKindFromKey(QByteArrayView key) {
    for (const KindRow& row : kinds)
        if (key == row.key) return row.kind;
    return std::nullopt;
}

QString runKindTitle(QByteArrayView key) {
    if (const std::optional<RunKind> kind = runKindFromKey(key)) return runKindTitle(*kind);
    return QString::fromUtf8(key);
}

QString runKindName(QByteArrayView key, Wording wording) {
    return wording == Wording::Window ? runKindTitle(key) : QString::fromUtf8(key);
}

bool isUndoable(RunKind kind) { return rowOf(kind).undoable; }

bool isUndoable(QByteArrayView key) {
    const std::optional<RunKind> kind = runKindFromKey(key);
    return kind && isUndoable(*kind);
}
