#pragma once

#include <QString>
#include <QStringList>

// The name patterns made from an application; each may be empty.
struct AppPatterns {
    QString namePattern;           // "*" + name + "*"
    QString identifierPattern;     // "*." + last piece of the identifier + "*"
    QString comparisonPattern;     // "*" + last piece of the identifier + "*"
    QString blankFreeNamePattern;  // the name pattern without blanks

    static AppPatterns make(const QString& name, const QString& bundleIdentifier);
    // The patterns of the application at path; all empty when it is no application.
    static AppPatterns forApplication(const QString& path);

    // The patterns searched in each folder, in order (a repeat of the first may follow).
    QStringList searches() const;
};

// Folders ending in "/Library" are searched one level deep, all others three.
int searchDepthFor(const QString& folder);

// Whether a path found for pattern stays in the result: application bundles, items in
// bundles, widgets and a few named folders never do, nor near misses of some common
// patterns, nor paths that do not match the pattern as a whole, ignoring case.
bool keepsFoundPath(const QString& path, const QString& pattern);

// One search step: the items of folder (itself included) whose names match pattern,
// ignoring case, that keepsFoundPath lets through. Repeats are not removed. Nothing in
// skippedFolder is found.
QStringList findFiles(const QString& folder, const QString& pattern,
                      const QString& skippedFolder = QString());

// The distinct items related to the application at appPath, in the order of folders,
// then of searches, then of the walk. The application itself is never among them, nor
// anything in skippedFolder (the Trash, which lies inside the searched data folder).
QStringList relatedFiles(const QString& appPath, const QStringList& appDirArray,
                         const QString& skippedFolder);
