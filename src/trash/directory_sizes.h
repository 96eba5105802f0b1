#pragma once

#include <QByteArray>
#include <QList>

#include "platform/trash_location.h"

// The Trash's "directorysizes" cache (as freedesktop.org's Trash layout keeps it): one line per
// folder of files/, "SIZE MTIME NAME" with the name percent-encoded.

// Takes the lines of these names out of the cache, where there is one. The new cache is
// written beside the old one and swapped with it in one step (renameat2 RENAME_EXCHANGE),
// so a reader sees the one or the other whole, and nothing else is ever replaced; where
// the file system cannot swap, the cache stays as it is, and its readers mend a line whose
// folder is no longer there. False when the cache was there and kept the names.
bool forgetDirectorySizes(const TrashLocation& trash, const QList<QByteArray>& names);

// The cache's lines without those of names, or nullopt when it has none of them.
std::optional<QByteArray> withoutDirectorySizes(const QByteArray& cache,
                                                const QList<QByteArray>& names);
