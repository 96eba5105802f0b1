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

    // The row of the item at path; nullptr when it has none.
    const DelAppRow* rowFor(const Path& path) const;
};

// The name of the folder in the Trash that receives removed applications.
inline const QByteArray deletedAppsFolderName = QByteArrayLiteral("DKT Deleted Apps");

// Where the application chooser starts: ~/Applications when it exists, else the home.
Path applicationsFolder(const Path& home, FileSystem& files);

// The application's own row (checked) when it is an application, then a checked row
// for each related item, in the search's order. Found items that no longer exist keep
// their row but are in neither list. Every item is named by its bytes.
RemovalList buildRemovalList(const Path& appPath, const QList<Path>& searchFolders,
                             const TrashServices& services);

// The moves that moveRemovalToTrash makes at time, worked out before anything changes: every
// checked item that exists, folders first, into the Trash folder "DKT Deleted Apps" under
// the name planMoves gives it. An item inside a folder moved before it goes with that
// folder and has no step of its own. When the Trash folder (or its record) cannot be had
// because something else holds its name, every step is refused. The folder is made first
// when it is missing. Kind RemoveApp; changes nothing.
RunPlan planTrashMoves(const RemovalList& list, const TrashServices& services,
                       const QDateTime& time);

// How a removal went, and the notice to show once it has ended: whether every item went.
struct RemovalOutcome {
    RunReport report;
    QString closingNotice;
};

// Carries out planTrashMoves at the services' time: makes "DKT Deleted Apps" with its Trash
// record when missing, then each step in order. A cancel stops it after the item in hand
// (Cancelled).
RunResult moveRemovalToTrash(TrashServices& services, const RemovalList& list,
                             RunObserver& observer, RemovalOutcome& outcome);
