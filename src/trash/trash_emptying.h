#pragma once

#include <QList>

#include "platform/run_result.h"
#include "trash/trash_services.h"

// The items directly in the Trash (hidden ones too), sorted by name.
QList<Path> trashItemPaths(const TrashLocation& trash, FileSystem& files);

// Deletes the chosen items for good after asking (the question counts them and
// names the first few), each with its record; no items, or the Trash folder itself, means
// nothing was chosen and the user is told so. Only items directly in the Trash are ever
// deleted, each by the bytes of its name. Ends with a notice that says whether every item
// went, else which could not be deleted, each with its reason, and which were no longer there.
RunResult deleteTrashItems(TrashServices& services, const QList<Path>& chosenItems);
