#pragma once

#include <atomic>
#include <cstdint>

#include "platform/path.h"

// The block usage of a folder and everything in it, in kilobytes, as `du -k -d 0`
// reports it: every item's allocated blocks, each inode counted once (hard links and
// folders met twice), symbolic links counted as themselves and never followed, mount
// points entered, rounded up to whole kilobytes. A missing item gives 0. A set cancel
// stops the walk at the next entry, with what was counted by then.
std::int64_t diskUsageKilobytes(const Path& path, const std::atomic_bool* cancel = nullptr);
