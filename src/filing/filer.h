#pragma once

#include <QString>
#include <QStringList>

#include "filing/archive_date.h"

class FileSystem;
class Prompter;
struct Settings;

// What a run did: items moved, and items it meant to move that stayed where they were
// (the name was taken, the category folder could not be made, the move failed).
struct MoveCounts {
    int moved = 0;
    int stayed = 0;
};

// Filing, archiving and unfiling of one folder F. Every move is a no-replace move: an
// item whose name is taken at its destination stays where it is, and nothing is ever
// deleted; only empty folders are removed. The category folders are the nine names of
// fileFoldersArray inside F (index 0, the archive folder, holds category folders of its
// own). Each run shows its items in the progress panel, one before each move.
class Filer {
public:
    Filer(FileSystem& files, Prompter& prompter) : files_(files), prompter_(prompter) {}

    // Moves the loose items of folder last modified on or before cutoff into
    // folder/<archive>/<category>/. Off: nothing at all. Otherwise the archive folder
    // is made even when nothing goes into it (fileFolder removes it again when empty).
    MoveCounts archiveFolder(const QString& folder, const Settings& settings,
                             const ArchiveCutoff& cutoff);
    // Moves every loose item with a category into folder/<category>/, then removes the
    // archive folder if it is empty.
    MoveCounts fileFolder(const QString& folder, const Settings& settings);
    // Moves everything inside the category folders, and inside the archive folder's
    // category folders, back to the top level of folder, hidden items included, and
    // removes the folders that end up empty.
    MoveCounts unfileFolder(const QString& folder, const QStringList& folderNames);

private:
    template <typename Filter>
    MoveCounts moveLooseItems(const QString& folder, const QString& destinationBase,
                              const Settings& settings, Filter keep);
    // True when path is a real folder to move items into, made if nothing is there.
    bool ensureFolder(const QString& path);
    // Moves every item of source to folder, then removes source when empty.
    void bringBack(const QString& source, const QString& folder, MoveCounts& counts);
    bool moveItem(const QString& name, const QString& from, const QString& toFolder);

    FileSystem& files_;
    Prompter& prompter_;
};

// Whether a folder name may be used inside F: one plain path component, so that no
// setting can send items out of the folder being filed.
bool isPlainFolderName(const QString& name);
