#pragma once

#include <cstdint>

#include "platform/path.h"

// The block usage of a folder and everything in it, in kilobytes, as `du -k -d 0`
// reports it: every item's allocated blocks, each inode counted once (hard links and
// folders met twice), symbolic links counted as themselves and never followed, mount
// points entered, rounded up to whole kilobytes. A missing item gives 0.
std::int64_t diskUsageKilobytes(const Path& path);
