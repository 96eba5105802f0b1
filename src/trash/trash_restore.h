#pragma once

#include <QList>

#include "platform/file_system.h"
#include "platform/run_observer.h"
#include "platform/run_plan.h"
#include "platform/run_result.h"
#include "platform/trash_location.h"

// Where the record of an item of the Trash says it came from, as a path to put it back
// at: an absolute Path as it is, a relative one from the folder that holds the Trash (as
// freedesktop.org's Trash layout has it). Empty when the record names no such
// place: missing, or climbing with "." or "..".
Path restorePlace(const Path& recordedPath, const TrashLocation& trash);

// What putting these items of the Trash back would do now: each goes to the place its
// record names, by its bytes. An item stays when it is not directly in the Trash, has no
// readable record, its place is taken, or a folder on the way to it is something else.
// The run below makes each step by this same planner, right before it.
RunPlan planRestore(const QList<Path>& items, const TrashLocation& trash, FileSystem& files);

// How a restore went, and the notice to show once it has ended (empty when every item
// went back): the items that stayed, each with why.
struct RestoreOutcome {
    RunReport report;
    QString closingNotice;
};

// Puts the items back, each with the no-replace move (by copy to another file system), a
// missing folder on the way made first. An item's record goes only once the item is back,
// through files, which keeps what it held in the run's record; an item whose place is
// taken stays, with its record. The entries of the folders put back leave the Trash's
// directorysizes cache. A cancel stops it after the item in hand.
RunResult restoreTrashItems(const QList<Path>& items, const TrashLocation& trash, FileSystem& files,
                            RunObserver& observer, RestoreOutcome& outcome);
