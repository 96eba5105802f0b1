#pragma once

#include <QList>
#include <functional>

#include "platform/file_error.h"
#include "platform/file_system.h"

// Copies from to the new path to: a file, or a folder with everything in it. Contents,
// permissions and modification times are kept; links anywhere in the tree are copied as
// links and never followed. Stops at the first item that cannot be copied and returns its
// error, leaving the partial copy for the caller to remove. Refuses to copy a folder into
// itself.
FileError copyTree(FileSystem& files, const Path& from, const Path& to);

// A complete copy under a temporary name, or why there is none.
struct [[nodiscard]] PartialCopy {
    FileError error;
    Path path;  // the copy, when error is ok
};

// Copies from to a new hidden name beside copyPath (".NAME.desktidy-partial-…", which
// leftoverCopiesOf and the recovery of a killed run know as a copy in progress). A copy
// that fails is removed again. beforeCopy, when given, is told each name before anything
// is made there; returning false stops with its error.
PartialCopy copyBeside(FileSystem& files, const Path& from, const Path& copyPath,
                       const std::function<bool(const Path&, FileError&)>& beforeCopy = {});

// What copyReplacing did.
struct [[nodiscard]] ReplaceOutcome {
    FileError error;
    // The complete copy is at copyPath. With an error, the old item was replaced but not all
    // of it could be removed; without one, all went well.
    bool copied = false;
};

// Copies from to copyPath, replacing whatever is there, without ever leaving the user with
// neither the old item nor a complete copy: the copy is made under a temporary name beside
// copyPath and takes the old item's place only once it is complete. On failure the
// temporary copy is removed and the old item stays as it was. An old folder that holds
// another file system is not replaced at all.
ReplaceOutcome copyReplacing(FileSystem& files, const Path& from, const Path& copyPath);

// The partial copies of copyPath that copyReplacing runs left behind when they were
// stopped (killed, or a power cut): hidden items beside copyPath named as copyReplacing
// names its copies in progress, for this copy path only.
QList<Path> leftoverCopiesOf(FileSystem& files, const Path& copyPath);
