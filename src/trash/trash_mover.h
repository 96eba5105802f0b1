#pragma once

#include <QString>

#include "trash/trash_services.h"

// Moves one item to its planned place in the Trash, never onto anything: as the user
// with the no-replace move; across file systems with `mv -n -T` as the user; only an
// item the user may not move goes through `pkexec mv -n -T -- SOURCE DESTINATION`,
// which asks for administrator rights. True when the item has left source and is at
// destination; a refused or failed move leaves it where it was.
bool moveToTrash(const QString& source, const QString& destination, TrashServices& services);
