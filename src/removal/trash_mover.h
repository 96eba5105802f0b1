#pragma once

#include "platform/path.h"
#include "trash/trash_services.h"

// Moves one item to its planned place in the Trash, never onto anything: as the user
// with the no-replace move; across file systems with `mv -n -T` as the user; only an
// item the user may not move goes through `pkexec mv -n -T -- SOURCE DESTINATION`,
// which asks for administrator rights. The tools get each path's bytes as they are. True
// when the item has left source and is at destination; a refused or failed move leaves
// it where it was.
[[nodiscard]] bool moveToTrash(const Path& source, const Path& destination,
                               TrashServices& services);
