#pragma once

#include <QList>

#include "platform/run_observer.h"
#include "platform/run_plan.h"
#include "platform/run_result.h"
#include "trash/trash_services.h"

// The items directly in the Trash (hidden ones too), sorted by name.
QList<Path> trashItemPaths(const TrashLocation& trash, FileSystem& files);

// Whether chosenItems names nothing to delete: no items, or the Trash folder itself (what
// confirming the chooser with no selection gives).
bool choosesNothing(const QList<Path>& chosenItems, const TrashLocation& trash);
// The question asked before deleting chosenItems: it counts them and names the first few.
QString deleteQuestion(const QList<Path>& chosenItems);

// How a deletion went, and the notice to show once it has ended: whether every item went,
// else which could not be deleted and which were no longer there.
struct DeletionOutcome {
    RunReport report;
    QString closingNotice;
};

// Deletes the chosen items for good, each with its record. Only items directly in the
// Trash are ever deleted, each by the bytes of its name. A cancel stops it after the item
// in hand.
RunResult deleteTrashItems(TrashServices& services, const QList<Path>& chosenItems,
                           RunObserver& observer, DeletionOutcome& outcome);
