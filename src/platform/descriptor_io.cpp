#include "platform/descriptor_io.h"

#include <unistd.h>

#include <cerrno>

int writeAll(int fd, QByteArrayView bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        // A write that takes nothing would be tried for ever: it counts as failed.
        if (n <= 0) return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}
