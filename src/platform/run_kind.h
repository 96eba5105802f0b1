#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

// What a run is. Each kind has one key, which names it in its record, in JSON and on the
// command line ("file", "file-all", "rename", ...), and one title, which the window shows
// ("Desktidy", "File All Stashery", "Change Names", ...).
enum class RunKind : std::uint8_t {
    File,
    FileAll,
    Scheduled,
    Archive,
    Unfile,
    UnfileAll,
    Rename,
    Pack,
    Unpack,
    RemoveApp,
    Undo,
    EmptyTrash,
    Watch,  // a batch of items the watch filed as they arrived
    Restore,
};

// Whose words a run's questions, notices and names are in: the window's (its menus and
// titles: "Undesktidy... from the File menu", "Desktidy") or the command line's (its
// commands: "desktidy unfile", "file").
enum class Wording : std::uint8_t { Window, CommandLine };

QByteArray runKindKey(RunKind kind);
QString runKindTitle(RunKind kind);
// The kind a key names; nullopt for a key no kind has (a record from a later version).
std::optional<RunKind> runKindFromKey(QByteArrayView key);
// The title of a record's kind, or the key itself when no kind has it.
QString runKindTitle(QByteArrayView key);
// How a kind is named in these words: its title in the window's, its key on the command
// line.
QString runKindName(QByteArrayView key, Wording wording);
// Whether a run of this kind can be undone: copies and deletions cannot.
bool isUndoable(RunKind kind);
bool isUndoable(QByteArrayView key);
