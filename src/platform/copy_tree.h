#pragma once

#include <QString>

#include "platform/file_error.h"
#include "platform/file_system.h"

// Copies from to the new path to: a file, or a folder with everything in it. Contents,
// permissions and modification times are kept; links anywhere in the tree are copied as
// links and never followed. Stops at the first item that cannot be copied and returns its
// error, leaving the partial copy for the caller to remove. Refuses to copy a folder into
// itself.
FileError copyTree(FileSystem& files, const QString& from, const QString& to);

// Copies from to copyPath, replacing whatever is there, without ever leaving the user with
// neither the old item nor a complete copy: the copy is made under a temporary name beside
// copyPath and takes the old item's place only once it is complete. On failure the
// temporary copy is removed and the old item stays as it was.
FileError copyReplacing(FileSystem& files, const QString& from, const QString& copyPath);
