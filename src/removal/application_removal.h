#pragma once

#include <QList>
#include <optional>

#include "platform/run_observer.h"
#include "platform/run_plan.h"
#include "platform/run_result.h"
#include "removal/del_app_row.h"
#include "trash/trash_services.h"

// The removal list of one application: a row per item, and the items to move by kind.
// Every path in the two lists has exactly one row.
struct RemovalList {
    QList<DelAppRow> rows;
    QList<Path> folders;  // found folders
    QList<Path> files;    // everything else, the application itself included
    // The search was stopped before its end: the list is empty, and nothing is to move.
    bool cancelled = false;

    // The row of the item at path; nullptr when it has none.
    const DelAppRow* rowFor(const Path& path) const;
};

// The name of the folder in the Trash that receives removed applications.
inline const QByteArray deletedAppsFolderName = QByteArrayLiteral("DKT Deleted Apps");

// Where the application chooser starts: ~/Applications when it exists, else the home.
Path applicationsFolder(const Path& home, FileSystem& files);

// The application's own row (checked) when it is an application, then a row for each
// related item, in the search's order: checked when its name shows it to be the
// application's own (AppNames::ownsName), else unchecked and marked as one that may be
// related. Found items that no longer exist keep their row but are in neither list.
// Every item is named by its bytes. A set cancel stops the search, the reading of the
// application's property list and the measuring of sizes, and gives an empty list
// marked cancelled.
RemovalList buildRemovalList(const Path& appPath, const QList<Path>& searchFolders,
                             const TrashServices& services,
                             const std::atomic_bool* cancel = nullptr);

// The moves that moveRemovalToTrash makes at time, worked out before anything changes: every
// checked item that exists, folders first, into the Trash folder "DKT Deleted Apps" under
// the name planMoves gives it. An item inside a folder moved before it goes with that
// folder and has no step of its own. When the Trash folder (or its record) cannot be had
// because something else holds its name, every step is refused; an item that moveToTrash
// would refuse (foreseenRefusal: on another file system and holding a mount point, or not
// the user's to remove) is refused with its reason. The folder is made first when it is
// missing. Kind RemoveApp; changes nothing.
RunPlan planTrashMoves(const RemovalList& list, const TrashServices& services,
                       const QDateTime& time);

// How a removal went, and the notice to show once it has ended: whether every item went.
struct RemovalOutcome {
    RunReport report;
    QString closingNotice;
};

// Carries out planTrashMoves at the services' time: makes "DKT Deleted Apps" with its Trash
// record when missing, then each step in order. A cancel stops it after the item in hand
// (Cancelled). Its closing notice names each item that stayed with its reason.
RunResult moveRemovalToTrash(TrashServices& services, const RemovalList& list,
                             RunObserver& observer, RemovalOutcome& outcome);
