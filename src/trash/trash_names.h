#pragma once

#include <QList>

#include "trash/trash_listing.h"

// The items of the Trash that a name given by the user picks, among entries (the Trash as
// listed). A name that holds a "/" is a path: of an item directly in the Trash's files/
// folder, or the place items came from (two items trashed from one place are both
// picked). A bare name picks the item of that name in the Trash and the items that came
// from a place of that name, so that "old report.pdf" finds both of two trashed
// "old report.pdf" (in the Trash, "old report.pdf" and "old report.2.pdf"). Names are
// compared by their bytes.
QList<TrashEntry> trashEntriesNamed(const QList<TrashEntry>& entries, const QByteArray& name,
                                    const Path& asPath);

// One line of the Trash's listing: the deletion date, the size, the item's name in the
// Trash and where it came from, "2024-01-02 03:04:05    4.0 KB  notes.txt  from
// /home/ann/notes.txt".
QString trashListingLine(const TrashEntry& entry);
