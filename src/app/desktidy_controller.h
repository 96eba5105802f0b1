#pragma once

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVariantMap>
#include <functional>

#include "app/removal_checklist.h"
#include "app/services.h"
#include "names/name_change_options.h"
#include "pack/pack_copy.h"
#include "platform/run_plan.h"
#include "platform/run_result.h"
#include "platform/trash_location.h"
#include "removal/del_app_row.h"
#include "runs/run_pipeline.h"
#include "schedule/watch_service.h"
#include "settings/bundle_defaults.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "trash/trash_listing.h"

struct TrashServices;
class RunHistory;
struct RunRecord;
struct StoppedRun;

// Who started filing every listed folder: the user, who is asked first, or the crontab
// entry, which nobody is there to answer.
enum class Starter { User, Schedule };
// Whether a run asks its question first, or was asked already (the watch's notification
// asks whether to undo its batch).
enum class Confirmation { AskFirst, DontAsk };
// The pack list or the unpack list.
enum class PackSide { Pack, Unpack };

// What the window or the command line asks of every run, handed to the controller once.
struct RunOptions {
    // Follows every run: its progress and Cancel, and its end (the result line).
    RunFrontEnd* frontEnd = nullptr;
    // When set, stops the search that plans an application's removal: the command line
    // sets it on SIGINT and SIGTERM. (The window's Cancel belongs to its progress panel,
    // which a search does not open.)
    const std::atomic_bool* stopSearch = nullptr;
    // Whose words the runs' questions and notices are in: the command line's name its
    // commands where the window's name its menus.
    Wording wording = Wording::Window;
};

// The program's state (the settings as saved and as being edited), and the runs, each
// started from plain values and carried out by the one run pipeline. The window runs its
// dialogs and then calls these; the command line parses its arguments and calls them. No
// operation opens a chooser.
class DesktidyController {
  public:
    DesktidyController(Services services, BundleDefaults bundle);
    ~DesktidyController();
    DesktidyController(const DesktidyController&) = delete;
    DesktidyController& operator=(const DesktidyController&) = delete;

    // --- Start-up ---
    // Loads the settings, resolves the folders searched for an application's files and
    // reads the arguments (entry 0 is the program's own path). Nothing is written: a
    // command that only reads or plans leaves the settings file as it is, and those that
    // change a setting save it themselves. The window saves at its start.
    void start(const QStringList& arguments);
    // What the loads so far left out of the settings file and where its text is kept,
    // told once: empty when every key was read, or the user has been told already.
    QString takeSettingsNotice() { return store_.takeDamageReport(); }
    // The scheduled run when the arguments asked for one: files every listed folder
    // without asking. Returns how it ended, after which the process should end; nullopt
    // when there was none.
    std::optional<RunResult> runScheduledFiling();
    // A folder given from outside (a launcher, a drop, the path control) becomes the
    // draft's working folder; the stored one changes at the next save.
    void setWorkingFolder(const QString& folder);
    // The working folder as the path it names (the settings hold its UTF-8 text).
    Path workingFolder() const { return Path::fromText(draft_.workingFolder); }

    // --- Settings ---
    // The settings being edited: the Setup panel's controls write into them.
    Settings& draft() { return draft_; }
    const Settings& draft() const { return draft_; }
    // What the last load or save left: the values as stored.
    const Settings& saved() const { return saved_; }
    // Stores the draft.
    void saveSetup();
    // Drops the draft: the file is read again.
    void cancelSetup();
    // The same after another process changed the file (the watch follows the Setup).
    void reloadSettings();
    // The defaults into the draft (keeping its folder list, pack lists and schedule),
    // then a save.
    void resetSetup();
    const SettingsStore& store() const { return store_; }

    // --- Runs: plans, progress, results ---
    // How runs are carried out and heard of; set once (before start, for a preview).
    void setRunOptions(RunOptions options);
    // What filing (archiving included), unfiling, a name change by options, or
    // packing and unpacking would do now. Nothing changes: not the draft, nor the disk.
    // A folder given as a link is taken as the folder it leads to, as the runs take it.
    // A name change's notices end with the names no rule can read, as its run's do.
    RunPlan planFiling(const Path& folder);
    RunPlan planUnfiling(const Path& folder);
    // The listed folders in the order a run over them takes them, each once: a folder
    // listed twice is done at its first place, and has nothing left at its second.
    QList<Path> distinctListedFolders() const;
    RunPlan planChangeNames(const Path& folder, const NameChangeOptions& options);
    RunPlan planCopies(PackSide side);

    // --- Filing ---
    // Files folder after asking: archives old items by the draft's archive date, notes the
    // folder as recent, saves the draft with it as the working folder (when it has a text
    // form: the settings hold text), then files. A folder that is not there is refused with
    // a critical notice and not saved. Failed, with a notice saying how many, when moves
    // failed with an error; an item whose name is taken is no failure.
    RunResult fileFolder(const Path& folder);
    // Files every folder of the folder list as one run, asking once unless the schedule
    // started it, then posts "Done filing all of your files" when every folder was filed.
    RunResult fileListedFolders(Starter starter = Starter::User);
    // Unfiles folder after asking; refused and failed as fileFolder is.
    RunResult unfileFolder(const Path& folder);
    // Unfiles every folder of the folder list as one run, each folder asking its own
    // question.
    RunResult unfileListedFolders();
    // Makes folder the working folder and saves it. A folder whose path is not UTF-8
    // cannot be kept in the settings: refused with a critical notice, Failed.
    RunResult keepWorkingFolder(const Path& folder);
    // Appends folders to the draft's folder list; refused with a critical notice saying
    // why, and then none is added, when any of them is not UTF-8, is the root "/", or is
    // listed already (by this path or another that reaches the same folder).
    RunResult addFolders(const QList<Path>& folders);
    // Removes the given rows of the folder list.
    void removeFolders(const QList<int>& rows);
    // Adds "type - description" to the category's list.
    void addType(Category category, const QString& type, const QString& description);
    // Removes the given rows of the category's type list.
    void removeTypes(Category category, const QList<int>& rows);
    // The row of the category table shown (0 the archive folder, 1 to 8 the categories,
    // -1 none). A filing leaves the last category shown.
    int shownCategoryRow() const { return shownCategoryRow_; }
    void showCategoryRow(int row) { shownCategoryRow_ = row; }

    // --- Schedule ---
    // Makes schedule the draft's, saves the draft and writes the crontab entry for it.
    // A schedule that would never run (scheduleNeverRunsReason) is refused with a
    // critical notice saying why; nothing is saved or written then.
    RunResult setSchedule(const Schedule& schedule);
    // Saves the draft and takes the entry out of the crontab.
    RunResult removeSchedule();
    // The program's lines of the crontab; nullopt when it cannot be read.
    std::optional<QList<QByteArray>> scheduleEntries();
    // The command the crontab entry runs; empty when cron cannot carry the program's path.
    const QString& cronCommand() const { return cronCommand_; }

    // --- Watch (controller_watch.cpp) ---
    // Saves the draft (its settle time among it), then has the user's service manager run
    // the watch from now on, or no longer.
    RunResult startWatchService();
    RunResult stopWatchService();
    WatchService::State watchServiceState();

    // --- Pack ---
    const QList<PackRow>& packRows(PackSide side) const;
    // Appends row; refused with a critical notice saying why, and Failed, when a run would
    // refuse to copy it (no source, no destination folder, a copy that would replace the
    // home folder, the settings or the history, or a folder holding one).
    RunResult addPackRow(PackSide side, const PackRow& row);
    // Removes the rows at these indexes (the table's selection).
    void removePackRows(PackSide side, const QList<int>& rows);
    // Rebuilds the unpack list so that it brings back what the pack list copies.
    void reversePackList();
    // Empties the pack list and the unpack list.
    void clearPackLists();
    // Copies every row of the draft's list, with the saved replace setting.
    RunResult copyPackRows(PackSide side);

    // --- Names ---
    // Renames the items of folder by options, after asking.
    RunResult changeNames(const Path& folder, const NameChangeOptions& options);

    // --- Trash ---
    // The home folder's Trash ($XDG_DATA_HOME/Trash).
    TrashLocation trashLocation() const;
    // Deletes these items of the Trash for good, after asking.
    RunResult deleteTrashItems(const QList<Path>& items);
    // The items of the Trash as the Trash view lists them: newest first, each with where
    // it came from, when it was trashed and its size.
    QList<TrashEntry> trashListing(TrashSizes sizes = TrashSizes::Measured);
    // What putting these items of the Trash back would do now. Nothing changes.
    RunPlan planRestore(const QList<Path>& items);
    // Puts these items of the Trash back where they came from, after asking (see
    // restoreTrashItems in trash/trash_restore.h); none chosen is told, not asked.
    RunResult restoreTrashItems(const QList<Path>& items);

    // --- Application removal ---
    // Where the application chooser starts: ~/Applications when it exists, else the home.
    Path applicationsFolder();
    // The application at appPath and its related items, those that are its own checked
    // (see buildRemovalList). The run options' stopSearch stops the search: the list is
    // then empty and says it was cancelled.
    RemovalChecklist planRemoval(const Path& appPath);
    // Moves exactly the checked items into the Trash folder "DKT Deleted Apps".
    RunResult moveToTrash(const RemovalChecklist& checklist);
    // The moves moveToTrash would make now. Nothing changes.
    RunPlan planMoveToTrash(const RemovalChecklist& checklist);
    // The folders searched for an application's files, as resolved at start-up.
    const QList<Path>& applicationDataFolders() const { return applicationDataFolders_; }

    // --- Runs (controller_runs.cpp) ---
    // The journal of the runs that moved items, to list and undo.
    RunHistory runHistory() const;
    // The run plain undo takes: the newest that is no undo and no copy; nullopt when none.
    // It may be still going, which undoRun then refuses.
    std::optional<RunRecord> runToUndo() const;
    // Undoes a run from the history, after asking unless told not to (the watch's
    // notification has asked already); tells what stayed where it was. Failed when the run
    // cannot be undone (told why) or an item it should move back did not go.
    RunResult undoRun(const RunRecord& record, Confirmation ask = Confirmation::AskFirst);
    // Puts right what runs stopped by a crash left, once each; those found this time.
    QList<StoppedRun> recoverStoppedRuns();
    // The window's start: the same, then for each run found, asks whether to undo it.
    void reviewStoppedRuns();
    // The time that names moved items and dates the Trash record; tests fix it.
    void setTrashClock(std::function<QDateTime()> clock) { trashClock_ = std::move(clock); }

    // The desktop services, which the window also runs its dialogs through.
    Services& services() { return services_; }
    const QString& home() const { return home_; }

  private:
    // The window's text, or the command line's, as the run options' wording asks.
    QString inWords(const QString& window, const QString& commandLine) const {
        return runOptions_.wording == Wording::Window ? window : commandLine;
    }
    QString settingsHomeForJobs() const;
    QString stateHomeForJobs() const;
    // Adds a folder the user worked on to the recent-folders list (Open Recent).
    void noteRecentFolder(const Path& folder);
    // Archives and files folder within run; the folder's report. Given only, the loose
    // items of those names and no others.
    RunReport fileWithin(RunContext& run, const Path& folder,
                         const QList<QByteArray>* only = nullptr);
    // For each of folders that lies inside one before it in the list, the names of its
    // loose items now: a run over the list files those and not what it has just filed
    // into that folder itself, as the preview, made before any move, shows.
    QHash<Path, QList<QByteArray>> looseItemsOfNestedFolders(const QList<Path>& folders);
    // Unfiles folder within run by plan.
    RunReport unfileWithin(RunContext& run, const Path& folder, const RunPlan& plan);
    // What filing every listed folder will do, folder by folder, for its question.
    QString listedFoldersDetails();
    // Tells that no folder is listed, so that a run over them has nothing to (file,
    // unfile); false when folders are listed.
    bool tellNoFoldersListed(const QString& nothingTo);
    RunQuestion unfilingQuestion(const Path& folder) const;
    void loadSettings();
    QList<PackRow>& packRowsOf(PackSide side);
    // The folders no copy may replace (see CopyList::kept).
    QList<KeptFolder> keptFolders() const;
    TrashServices trashServices();
    // The undo itself, with or without its question.
    RunResult carryOutUndo(const RunRecord& record, std::optional<RunQuestion> question);

    Services services_;
    RunOptions runOptions_;
    RunPipeline pipeline_;
    QString user_;
    QString home_;
    QVariantMap defaults_;
    QVariantMap applicationFolderPatterns_;
    SettingsStore store_;
    Settings saved_;
    Settings draft_;
    int shownCategoryRow_ = 1;
    QList<Path> applicationDataFolders_;
    QString cronCommand_;
    QString executable_;  // this program's absolute path
    bool scheduledRun_ = false;
    std::function<QDateTime()> trashClock_ = [] { return QDateTime::currentDateTime(); };
};

// "[home]" becomes the login name and a leading "~/" the home folder.
QStringList resolveAppDirs(const QVariantList& patterns, const QString& user, const QString& home);

// Whether path is a folder, or a link to one.
bool isFolderOrLinkToOne(const Path& path);
// The folder a run works in. A link that the user named as the folder is followed once,
// at the start: every move, and the plan that shows them, then go by the folder it leads
// to, which is the one the run locks, and no step takes the link for a folder to move
// items into (which the moves refuse, as a link in a category folder's place must be).
Path folderToWorkIn(const Path& folder);
// Why folder is no folder to work in, as a sentence that names what is wrong ("The folder
// F does not exist.", "F is not a folder."); empty when it is a folder or a link to one.
QString whyNotAFolder(const Path& folder);

// Whether the arguments (entry 0 is the program's path) ask for the scheduled run: exactly
// the one argument "1" that the crontab line passes. Nothing else ever files unattended.
bool isScheduledRunStart(const QStringList& arguments);
