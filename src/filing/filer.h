#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QStringList>
#include <functional>
#include <optional>

#include "filing/archive_date.h"
#include "platform/file_error.h"
#include "platform/path.h"
#include "platform/run_observer.h"
#include "platform/run_plan.h"

class FileSystem;
struct Settings;

// What a run did with the items it meant to move: moved; stayed, because their name
// was taken (or a non-folder holds the category folder's name); or failed with an error
// (no permission, a read-only or busy file system), the first of which is kept.
struct [[nodiscard]] MoveCounts {
    int moved = 0;
    int stayed = 0;
    int failed = 0;
    FileError firstFailure;
    RunReport report;  // the same run told in detail, for its result line
    // The folders items went into (filing, archiving) or came out of (unfiling), which
    // report.folders counts.
    QSet<Path> folders;

    void add(const MoveCounts& other);
    // Counts the outcome of one move, or of one error that kept several items from
    // moving: moved on success, stayed for a taken name, failed for any other error.
    void count(const FileError& error, int items = 1);
};

// Filing, archiving and unfiling of one folder F. Every move is a no-replace move: an
// item whose name is taken at its destination stays where it is, and nothing is ever
// deleted; only empty folders are removed. The category folders are the nine names of
// Settings::folderNames inside F (index 0, the archive folder, holds category folders of its
// own), as their UTF-8 bytes. Items are moved by the bytes of their names, whatever those
// are. Each run tells its observer of each item, one before each move.
//
// Every run is worked out first as a plan (the plan* functions, which change nothing) and
// then carried out step by step by execute, so that a preview shows exactly what a run
// does. The observer hears of each item and can stop the run between items.
class Filer {
  public:
    explicit Filer(FileSystem& files, RunObserver& observer = silentObserver())
        : files_(files), observer_(observer) {}

    // The moves of archiveFolder, fileFolder and unfileFolder, with the items that would
    // stay and why.
    RunPlan planArchive(const Path& folder, const Settings& settings, const ArchiveCutoff& cutoff);
    RunPlan planFiling(const Path& folder, const Settings& settings);
    RunPlan planUnfiling(const Path& folder, const QStringList& folderNames);
    // The moves of a whole filing run: archiving by cutoff, then filing what archiving
    // leaves loose, as fileWithArchiving makes them.
    RunPlan planFilingRun(const Path& folder, const Settings& settings,
                          const ArchiveCutoff& cutoff);
    // From now on archiving and filing plan only the loose items with these names (the
    // items a watch has seen settle, or those a nested listed folder held before the run);
    // everything else about their plans stays the same.
    void restrictTo(const QList<QByteArray>& names);
    // Carries out a plan: each move in order, making each destination folder before its
    // first move and removing those it made that receive nothing, then removing the
    // plan's emptied folders. A cancel stops it after the item in hand.
    MoveCounts execute(const RunPlan& plan, const QString& progressTitle);

    // Moves the loose items of folder last modified on or before cutoff into
    // folder/<archive>/<category>/. Off: nothing at all. Otherwise the archive folder
    // is made even when nothing goes into it (fileFolder removes it again when empty).
    MoveCounts archiveFolder(const Path& folder, const Settings& settings,
                             const ArchiveCutoff& cutoff);
    // Moves every loose item with a category into folder/<category>/, then removes the
    // archive folder if it is empty.
    MoveCounts fileFolder(const Path& folder, const Settings& settings);
    // A whole filing run in folder: archives by cutoff (unless it is off, or nothing is old
    // enough: then no archive folder is made), calls afterArchiving, then files, unless the
    // archiving was stopped. The report is a File run's.
    MoveCounts fileWithArchiving(const Path& folder, const Settings& settings,
                                 const ArchiveCutoff& cutoff,
                                 const std::function<void()>& afterArchiving = {});
    // Moves everything inside the category folders, and inside the archive folder's
    // category folders, back to the top level of folder, hidden items included, and
    // removes the folders that end up empty.
    MoveCounts unfileFolder(const Path& folder, const QStringList& folderNames);

  private:
    // The moves of the loose items of folder that keep accepts into their category folders
    // in destinationBase, and, when planUnmatched, the items no category takes.
    template <typename Filter>
    void planLooseItems(RunPlan& plan, const Path& folder, const Path& destinationBase,
                        const Settings& settings, Filter keep, bool planUnmatched);
    class TakenNames;
    // The steps that bring every item of source back to folder; taken holds the names
    // at the top level of folder, those of earlier steps included. True when source is a
    // real folder that its moves leave empty.
    bool planBringBack(RunPlan& plan, const Path& source, const Path& folder, TakenNames& taken);
    enum class FolderState { Present, Made, Blocked, Failed };
    // Makes sure path is a real folder to move items into, making it if nothing is there.
    // Blocked: a non-folder has the name. Failed: making it failed with error.
    FolderState ensureFolder(const Path& path, FileError& error);

    FileSystem& files_;
    RunObserver& observer_;
    std::optional<NameList> only_;  // in byte order, as listings are
};

// Whether a folder name may be used inside F: one plain path component, so that no
// setting can send items out of the folder being filed.
bool isPlainFolderName(QByteArrayView name);

// The nine folder names of Settings::folderNames as the bytes a folder gets (their UTF-8).
QList<QByteArray> folderNameBytes(const QStringList& folderNames);
