#pragma once

#include <QDateTime>
#include <QStringList>
#include <QVariantMap>
#include <functional>

#include "app/services.h"
#include "names/name_change_options.h"
#include "platform/run_plan.h"
#include "platform/run_result.h"
#include "platform/trash_location.h"
#include "settings/bundle_defaults.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "trash/del_app_row.h"

struct MoveCounts;

// The one object that owns the program's state and carries out its commands. Each
// command delegates to its subsystem in a few lines; the window and the command line
// call these methods and nothing below them.
class DesktidyController {
  public:
    DesktidyController(Services services, BundleDefaults bundle);
    ~DesktidyController();
    DesktidyController(const DesktidyController&) = delete;
    DesktidyController& operator=(const DesktidyController&) = delete;

    // --- Start-up ---
    // Interface ready: load and save the settings, resolve the folders searched for an
    // application's files, read the arguments (entry 0 is the program's own path).
    void awakeFromNib(const QStringList& arguments);
    // Launch finished: the scheduled run when argument 1 asked for it. Returns how that run
    // ended, after which the process should end; nullopt when there was none.
    std::optional<RunResult> applicationDidFinishLaunching();
    // A folder given from outside (a launcher, a drop) becomes the draft's working
    // folder; the stored one changes at the next save.
    bool openFile(const QString& path);

    // --- Settings ---
    // The Setup panel, the window and the command line edit the draft; a save stores it.
    // A load reads the file into the saved settings and starts the draft from them, with
    // the first category selected.
    void getSettings();
    void saveSetup();
    void saveSetupButton();
    // Drops the draft: the file is read again.
    void cancelSetup();
    // The defaults into the draft (keeping its folder list, pack lists and schedule),
    // then a save.
    void resetSetup();
    // What the last load or save left: the values as stored.
    const Settings& saved() const { return saved_; }

    // --- Runs: plans, progress, results ---
    // Every filing, unfiling, name change and copying run reports its items to
    // runProgress and stops between items when its cancel flag is set; once it has
    // run, onRunEnd hears how it went.
    RunProgress runProgress;
    // Set for a preview (--dry-run) before start-up: starting writes no settings.
    bool previewOnly = false;
    std::function<void(const RunReport&)> onRunEnd;
    // What filing (archiving included), unfiling, a name change by nameChangeOptions, or
    // packing and unpacking would do now. Nothing changes: not the draft, nor the disk.
    RunPlan planFiling(const Path& folder);
    RunPlan planUnfiling(const Path& folder);
    RunPlan planChangeNames(const Path& folder);
    RunPlan planCopies(bool unpack);

    // --- Filing ---
    // Files the draft's working folder: asks first unless displayDktAlert is set,
    // archives old items by the draft's archive date, notes the folder as recent, saves
    // the draft with it as the working folder, then files. A folder that is not there
    // is refused with a critical notice and not saved. Failed, after a critical notice
    // saying how many, when moves failed with an error; an item whose name is taken is
    // no failure.
    RunResult desktidy();
    // The same for folder, which becomes the working folder first when it has a text
    // form (the settings hold text); a folder whose path is not UTF-8 is filed all the
    // same, and the stored working folder stays as it was.
    RunResult desktidy(const Path& folder);
    // Files every folder of the folder list without asking per folder (nor at all in
    // the scheduled run), then posts "Done filing all of your files"; when a folder
    // failed, it posts nothing and is Failed.
    RunResult fileAllStashery();
    // Archives the folder's loose items modified on or before the archive date.
    MoveCounts doArchive(const Path& folder);
    // Unfiles the working folder, or folder, asking first; refused and failed as desktidy
    // is.
    RunResult undesktidy();
    RunResult undesktidy(const Path& folder);
    // Unfiles every folder of the folder list, each asking its own question.
    RunResult unfileAllStashery();
    // Chooses the working folder through the chooser and saves it. A folder whose path is
    // not UTF-8 cannot be kept in the settings: refused with a critical notice, Failed.
    RunResult chooseFile();
    // Appends the folders chosen through the chooser to the folder list (saved later);
    // refused as chooseFile refuses when any of them is not UTF-8.
    RunResult addFolder();
    // Removes the given rows of the folder list.
    void delFolder(const QList<int>& rows);
    // Selects a row of the category table (0 the archive folder, 1 to 8 the categories,
    // -1 none); the type table shows the types of the category selected.
    void setTypeArray(int row);
    int categoryRow() const { return categoryRow_; }
    // Adds "type - description" to the selected category's list. False when nothing was
    // added (the archive row or no row is selected), so the add-type panel stays open.
    bool doType(const QString& type, const QString& description);
    // Removes the given rows of the selected category's type list.
    void delType(const QList<int>& rows);

    // --- Schedule ---
    // Saves the draft and writes the crontab entry from its schedule, or takes the entry
    // out while removeSched is set.
    RunResult schedule();
    RunResult removeSchedule();
    // The program's lines of the crontab; nullopt when it cannot be read.
    std::optional<QList<QByteArray>> scheduleEntries();
    int removeSched = 0;

    // --- Pack ---
    // Adding a row asks for a source, then for its destination folder; a cancelled panel
    // adds nothing. True when a row was added.
    bool addPackFiles();
    bool addUnpackFiles();
    bool doAddFiles(QList<PackRow>& rows);
    // Remove the rows at these indexes (the table's selection) from both lists of the pair.
    void delPackFiles(const QList<int>& selectedRows);
    void delUnpackFiles(const QList<int>& selectedRows);
    // Rebuilds the unpack list so that it brings back what the pack list copies.
    void reversePack();
    // Empties the pack list and the unpack list.
    void clearPackTables();
    // Copy every row of the draft's list, with the saved replace setting.
    RunResult packStashery();
    RunResult unpackStashery();

    // --- Names ---
    // The name-change window's controls, and the values the last run copied from them.
    NameChangeOptions nameChangeOptions;
    NameChangeState nameChangeState;
    void clearChangeNames();
    // Renames the items of the draft's working folder, or of folder, by nameChangeOptions.
    RunResult doChangeNames();
    RunResult doChangeNames(const Path& folder);

    // --- Trash ---
    // The home folder's Trash ($XDG_DATA_HOME/Trash).
    TrashLocation trashLocation() const;
    // The two-line label of an item: name, size and unit, then the full path.
    QString makeDelAppPath(const Path& path);
    // Choose items directly in the Trash and delete them for good (after asking).
    RunResult emptyTrash();
    RunResult deleteTrash();
    // Choose an application and list it with its related items, each checked. False when
    // the chooser was cancelled; the previous list then stays.
    bool deleteApp();
    // Switches the check box of the selected row (-1: none selected).
    void clickedDelAppCheck(int selectedRow);
    // Moves the checked items into the Trash folder "DKT Deleted Apps".
    RunResult deleteAppFiles();

    QList<Path> trashArray;
    QList<DelAppRow> appDisplayArray;
    QList<Path> foundFoldersArray;
    QList<Path> foundFilesArray;
    // The time that names moved items and dates the Trash record; tests fix it.
    std::function<QDateTime()> trashClock = [] { return QDateTime::currentDateTime(); };

    // The services and the settings being edited, open to the window that binds its
    // widgets to them.
    Services services;
    Settings draft;

    QString osUser;
    QString osHome;
    QVariantMap myDefaults;
    QVariantMap myAppDirs;
    QStringList appDirArray;
    QStringList argumentsArray;
    int scheduled = 0;
    int displayDktAlert = 0;
    QString dktCommand;

    SettingsStore& store() { return store_; }

    // Adds a folder the user worked on to the recent-folders list (Open Recent).
    void noteRecentFolder(const Path& folder);
    // The working folder as the path it names (the settings hold its UTF-8 text).
    Path workingFolder() const { return Path::fromText(draft.workingFolder); }

  private:
    QString settingsHomeForJobs() const;
    // Runs action with each listed folder as the working folder, then shows the folder
    // shown before.
    void forEachListedFolder(const std::function<void()>& action);
    RunResult copyRows(bool unpack);

    SettingsStore store_;
    Settings saved_;
    int categoryRow_ = 1;
};

// "[home]" becomes the login name and a leading "~/" the home folder.
QStringList resolveAppDirs(const QVariantList& patterns, const QString& user, const QString& home);

// Whether path is a folder, or a link to one.
bool isFolderOrLinkToOne(const Path& path);

// What argument 1 asks of the start: a nonzero number for the scheduled run (the crontab
// entry passes "1"), else 0. Only digits alone count.
int scheduledRunNumber(const QStringList& arguments);
