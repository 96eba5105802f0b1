#pragma once

#include <QByteArray>
#include <cstdint>

// One event as inotify reports it: the watch it came from, what happened (IN_* bits), the
// cookie that pairs the two halves of a rename, and the name inside the watched folder
// (empty for an event about the folder itself).
struct WatchEvent {
    int watch = -1;
    std::uint32_t mask = 0;
    std::uint32_t cookie = 0;
    QByteArray name;
};
