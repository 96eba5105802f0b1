#pragma once

#include "platform/path.h"
#include "trash/trash_services.h"

// Moves one item to its planned place in the Trash, never onto anything: as the user with
// the no-replace move; to another file system by the program's own copy and removal
// (FileSystem::moveAcrossFileSystems), which refuses an item holding a mount point and
// is refused for an item the user may not remove from its folder. Only a move on one file
// system that the user may not make goes through `pkexec mv -n -T -- SOURCE DESTINATION`,
// which asks for administrator rights; mv never gets an item on another device than the
// Trash, or one that is or holds a mount point, as it would copy that. The tools get each
// path's bytes as they are. Ok when the item has left source and is at destination; else
// why not (a refused or failed move leaves it where it was, unless the error says
// otherwise).
[[nodiscard]] FileError moveToTrash(const Path& source, const Path& destination,
                                    TrashServices& services);

// Why moveToTrash would refuse to move source into the Trash folder trashFolder (which
// need not exist yet) before trying anything, as far as can be told ahead: it is on
// another file system and holds a mount point, or the user may not remove it from its
// folder. Ok otherwise.
FileError foreseenRefusal(const Path& source, const Path& trashFolder, FileSystem& files);
