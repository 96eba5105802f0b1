#pragma once

#include <functional>

#include "platform/file_error.h"
#include "platform/file_system.h"

// Where a caller hears of a move by copy as it goes, to record it.
struct MoveByCopySteps {
    // Before anything is copied: the hidden name the copy is made under. False stops the
    // move with its error, nothing changed.
    std::function<bool(const Path& temporary, FileError& error)> copying;
    // The complete copy is in place at its destination (status is the copy's); the old item
    // is still whole. False stops the move with its error: the copy is removed again.
    std::function<bool(const FileStatus& copy, FileError& error)> copied;
};

// Moves from to the free path to on another file system, where no rename can: a copy made
// on to's file system, then the old item's removal (removeAll, which never leaves its file
// system). An item that holds another file system (a mount point inside it, or itself one)
// is refused before anything is copied, with the reason: the copy would take in what is
// mounted and the removal would leave it. The copy is made under a hidden temporary name
// beside to and moved into place with the no-replace move once complete; a copy that fails
// leaves the old item untouched and nothing of the copy behind. The old item goes only then.
// When it cannot all go, the error says so: the complete copy stays at to, with what is
// left of the old item.
FileError moveByCopy(FileSystem& files, const Path& from, const Path& to,
                     const MoveByCopySteps& steps = {});

// Why moveByCopy refuses item (it is or holds a mount point, or a folder in it cannot be
// read), or ok.
FileError refusalToMoveByCopy(FileSystem& files, const Path& item);
