#pragma once

#include <QList>

#include "platform/run_result.h"
#include "trash/trash_services.h"

// The items directly in the Trash (hidden ones too), sorted by name.
QList<Path> trashItemPaths(const TrashLocation& trash, FileSystem& files);

// Lets the user choose items directly in the Trash, stores them in chosenItems and
// deletes them. A cancelled chooser leaves chosenItems and the Trash as they were.
RunResult deleteChosenTrashItems(TrashServices& services, QList<Path>& chosenItems);

// Deletes the chosen items for good after asking, each with its record. Only
// items directly in the Trash are ever deleted, each by the bytes of its name; a choice
// of the Trash folder itself means nothing was chosen. Ends with a notice that says
// whether every item went, else which could not be deleted and which were no longer
// there.
RunResult deleteTrashItems(TrashServices& services, const QList<Path>& chosenItems);
