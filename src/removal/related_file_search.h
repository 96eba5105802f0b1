#pragma once

#include <QList>
#include <QString>
#include <atomic>

#include "platform/path.h"

// One search of a folder: the items whose names hold text, ignoring case, or, for a
// whole-name search, whose name is text, ignoring case. The text is taken as it stands:
// "*", "?" and "[" in an application's name are characters like any other.
struct NameSearch {
    QString text;
    bool wholeName = false;

    bool operator==(const NameSearch&) const = default;
};

// The names an application goes by: its file name without ".app" or ".AppImage", and its
// bundle identifier (either may be empty). Its searches and the test of which found
// items are its own are made from them.
struct AppNames {
    QString name;
    QString identifier;

    static AppNames make(const QString& name, const QString& identifier);
    // The names of the application at path; empty when it is no application. A set cancel
    // stops the reading of its property list (no identifier).
    static AppNames forApplication(const Path& path, const std::atomic_bool* cancel = nullptr);

    // The identifier's last piece: empty for an identifier without "." or a piece of one
    // character.
    QString identifierPiece() const;

    // The searches of each folder, in order (a repeat of the first may follow): the name,
    // unless it ends in ".com"; "." and the identifier's piece, unless that piece is the
    // name; the name without blanks. A text of fewer than three characters would be part
    // of a good share of all names, so it is searched as a whole name.
    QList<NameSearch> searches() const;

    // Whether a found item is the application's own, and starts checked: one run of
    // whole words of its name (a file's name without its extension) is the application's
    // name, that name without blanks, its identifier or the identifier's piece, ignoring
    // case. Words are split at ".", "-", "_", blanks and changes of case ("NotePad" holds
    // "Note" and "Pad"; "unicode" does not hold "code", nor "Foobar" "Foo").
    bool ownsName(const QByteArray& itemName, bool isFolder) const;
};

// Folders ending in "/Library" are searched one level deep, all others three.
int searchDepthFor(const Path& folder);

// Whether a path found by search stays in the result: application bundles, items in
// bundles, widgets and a few named folders never do, nor near misses of some common
// names, nor paths that do not hold the search's text, ignoring case (for a whole-name
// search: whose last component is not the text). Paths are matched as text, with bytes
// that are not UTF-8 read as U+FFFD.
bool keepsFoundPath(const Path& path, const NameSearch& search);

// The distinct items related to the application app at appPath, in the order of folders,
// then of searches, then of the walk. The application itself is never among them, nor
// anything in skippedFolder (the Trash, which lies inside the searched data folder), nor
// a searched folder, the home, the Trash or any folder that holds one of them, nor a
// place that the desktop or many programs share (sharedPlaces): moving one of those
// would sweep up data that is not the application's. A set cancel stops the search at
// the next item; what was found by then comes back.
QList<Path> relatedFiles(const AppNames& app, const Path& appPath, const QList<Path>& searchFolders,
                         const Path& home, const Path& skippedFolder,
                         const std::atomic_bool* cancel = nullptr);
