#pragma once

#include <QString>
#include <atomic>
#include <cstdint>

#include "platform/path.h"

class FileSystem;

// The size part of an item label for a size in bytes: one decimal and "KB" (never less
// than 4.0), "MB" from 1023 KB up, "GB" (thousands of megabytes) above 999 MB.
QString sizeText(std::int64_t bytes);

// The two-line item label: "<name> - <size> <unit>", a newline, the full path, both
// shown as Path::display() shows them.
QString itemLabel(const Path& path, std::int64_t bytes);

// The size an item label shows: a folder's block usage, any other item's length (a
// symbolic link's own), 0 for a path that does not exist. A set cancel stops the
// measuring of a folder (see diskUsageKilobytes).
std::int64_t itemSizeInBytes(const Path& path, FileSystem& files,
                             const std::atomic_bool* cancel = nullptr);

// The label of the item at path.
QString itemLabelFor(const Path& path, FileSystem& files, const std::atomic_bool* cancel = nullptr);
