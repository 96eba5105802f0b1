#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>

#include "platform/file_system.h"
#include "platform/trash_location.h"

// An item of the Trash as the Trash view shows it: where it came from and when it was
// trashed (from its ".trashinfo" record; empty and invalid without one) and its size.
struct TrashEntry {
    Path path;  // in the Trash's files/ folder
    Path originalPath;
    QDateTime deletionDate;
    std::int64_t bytes = 0;
    QString sizeLabel;  // as the item labels show sizes: "4.0 KB", "1.2 MB"
};

// Reads a ".trashinfo" record's text: its original path (percent-decoded byte for byte)
// and deletion date. Fields that are missing or malformed stay empty or invalid.
TrashEntry parseTrashRecord(const QByteArray& text);

// Whether a listing measures each item: a walk of the whole Trash, which only a listing
// that shows sizes needs.
enum class TrashSizes { Measured, Left };

// The items directly in the Trash, newest first (items without a date last, then by
// name). A Trash that does not exist lists nothing.
QList<TrashEntry> trashEntries(const TrashLocation& trash, FileSystem& files,
                               TrashSizes sizes = TrashSizes::Measured);

// The names of the first few paths, one a line, then "and N more" for the rest.
QString someNames(const QList<Path>& paths, int shown = 5);
