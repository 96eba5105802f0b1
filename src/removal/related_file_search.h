#pragma once

#include <QList>
#include <QString>

#include "platform/path.h"

// One search of a folder: the items whose names match pattern, ignoring case. A
// whole-name search finds only the items whose name is pattern itself, ignoring case,
// with "*" and "?" taken as they stand.
struct NameSearch {
    QString pattern;
    bool wholeName = false;

    bool operator==(const NameSearch&) const = default;
};

// The name patterns made from an application; each may be empty.
struct AppPatterns {
    QString namePattern;           // "*" + name + "*"
    QString identifierPattern;     // "*." + last piece of the identifier + "*"
    QString comparisonPattern;     // "*" + last piece of the identifier + "*"
    QString blankFreeNamePattern;  // the name pattern without blanks

    static AppPatterns make(const QString& name, const QString& bundleIdentifier);
    // The patterns of the application at path; all empty when it is no application.
    static AppPatterns forApplication(const Path& path);

    // The searches of each folder, in order (a repeat of the first may follow). A name or
    // identifier piece of fewer than three characters besides "*" and "?" would be part
    // of a good share of all names, so it is searched as a whole name.
    QList<NameSearch> searches() const;
};

// Folders ending in "/Library" are searched one level deep, all others three.
int searchDepthFor(const Path& folder);

// Whether a path found by search stays in the result: application bundles, items in
// bundles, widgets and a few named folders never do, nor near misses of some common
// patterns, nor paths that do not match the pattern as a whole, ignoring case (for a
// whole-name search: whose last component is not the name). Paths are matched as text,
// with bytes that are not UTF-8 read as U+FFFD.
bool keepsFoundPath(const Path& path, const NameSearch& search);

// One search step: the items of folder (itself included) whose names match pattern,
// ignoring case, that keepsFoundPath lets through. Repeats are not removed. Nothing in
// skippedFolder is found.
QList<Path> findFiles(const Path& folder, const QString& pattern,
                      const Path& skippedFolder = Path());

// The distinct items related to the application at appPath, in the order of folders,
// then of searches, then of the walk. The application itself is never among them, nor
// anything in skippedFolder (the Trash, which lies inside the searched data folder), nor
// a searched folder, the home, the Trash or any folder that holds one of them: moving
// one of those would sweep up whole trees of unrelated data.
QList<Path> relatedFiles(const Path& appPath, const QList<Path>& searchFolders, const Path& home,
                         const Path& skippedFolder);
