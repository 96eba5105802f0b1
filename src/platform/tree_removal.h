#pragma once

#include <QList>
#include <functional>

#include "platform/file_error.h"
#include "platform/path.h"

struct FileStatus;

// A seam for tests: called with each folder of the tree (the top one included) once it has
// been looked at and before it is opened, with what was seen of it. A test changes the tree
// at exactly that moment, or what was seen (a folder taken as another device).
struct TreeRemovalHooks {
    std::function<void(const Path& folder, FileStatus& seen)> beforeEntering;
};

// What removeTree could not remove, each entry with its reason.
struct TreeRemoval {
    QList<FileError> leftBehind;  // the first ones met, each with its full path
    qsizetype leftCount = 0;      // all of them

    bool ok() const { return leftCount == 0; }
    // The first entry left and how many more; ok when nothing was left.
    FileError summary() const;
};

// Removes the item at path and, for a folder, everything in it, through folder
// descriptors: each folder is opened (O_NOFOLLOW | O_DIRECTORY) relative to the one that
// holds it, each entry looked at without following a link and removed with unlinkat, so a
// folder swapped for a link meanwhile never leads the removal elsewhere. A link is removed
// as a link. A folder on another device, or the root of a mount (a bind mount of the same
// file system too), is neither entered nor removed. Depth is not limited by PATH_MAX, and
// only a few dozen descriptors are open at any depth. Everything that can go goes; what
// cannot stays, with the folders that hold it, and each entry left is named with its
// reason (its parents are not: they stay because it does). A missing top item is an error
// (ENOENT); an entry something else removed meanwhile is gone, as wanted.
TreeRemoval removeTree(const Path& path, const TreeRemovalHooks& hooks = {});
