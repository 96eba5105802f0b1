#pragma once

#include <QByteArrayView>

// Writes all of bytes to fd, going on after a partial write or an interrupted call.
// Returns 0, or the errno value of the write that failed (EIO for one that wrote nothing).
int writeAll(int fd, QByteArrayView bytes);
