#pragma once

#include <QDateTime>

#include "platform/file_error.h"
#include "platform/file_system.h"
#include "platform/trash_location.h"

// The text of a ".trashinfo" record: the item's original path, percent-encoded byte for
// byte, and the local time it was trashed (YYYY-MM-DDThh:mm:ss).
QByteArray trashRecordText(const Path& originalPath, const QDateTime& deletionDate);

// Writes the record of the item called name; fails with EEXIST, replacing nothing, when
// a record of that name is there already, since the record is what claims a name.
FileError writeTrashRecord(const TrashLocation& trash, const QByteArray& name,
                           const Path& originalPath, const QDateTime& deletionDate);

// Makes the Trash and its files/ and info/ folders where they are missing.
FileError makeTrashFolders(const TrashLocation& trash, FileSystem& files);

// Whether path names an item directly in the Trash's files/ folder ("." and ".." and
// paths that climb out with them do not).
bool isDirectlyInTrash(const Path& path, const TrashLocation& trash);

// Deletes an item of the Trash for good, and its record once the item is gone. Fails with
// ENOENT for an item that is not there (its record stays too) and with the removal's
// error while any of the item is left.
FileError deleteTrashItem(const Path& path, const TrashLocation& trash, FileSystem& files);
