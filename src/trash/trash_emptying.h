#pragma once

#include <QList>

#include "platform/run_result.h"
#include "trash/trash_services.h"

// The items directly in the Trash (hidden ones too), sorted by name.
QList<Path> trashItemPaths(const TrashLocation& trash, FileSystem& files);

// Lets the user choose items directly in the Trash, stores them in trashArray and
// deletes them. A cancelled chooser leaves trashArray and the Trash as they were.
RunResult emptyTrash(TrashServices& services, QList<Path>& trashArray);

// Deletes the items of trashArray for good after asking (the question counts them and
// names the first few), each with its record; no items, or the Trash folder itself, means
// nothing was chosen and the user is told so. Only items directly in the Trash are ever
// deleted, each by the bytes of its name. Ends with a notice that says whether every item
// went, else which could not be deleted and which were no longer there.
RunResult deleteTrash(TrashServices& services, const QList<Path>& trashArray);
