#include "watch/inotify_watches.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

std::uint32_t watchedEvents() {
    return IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_MODIFY | IN_ATTRIB |
           IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_EXCL_UNLINK;
}

InotifyWatches::InotifyWatches() {
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        openError_ = errno;
        return;
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { readEvents(); });
}

InotifyWatches::~InotifyWatches() {
    delete notifier_;
    if (fd_ >= 0) ::close(fd_);
}

int InotifyWatches::add(const Path& folder, bool followLink) {
    if (fd_ < 0) return -EBADF;
    const int watch = ::inotify_add_watch(
        fd_, folder.c_str(), watchedEvents() | IN_ONLYDIR | (followLink ? 0 : IN_DONT_FOLLOW));
    return watch >= 0 ? watch : -errno;
}

void InotifyWatches::remove(int watch) {
    if (fd_ >= 0 && watch >= 0) ::inotify_rm_watch(fd_, watch);
}

void InotifyWatches::readEvents() {
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length <= 0) return;  // EAGAIN: all read
        for (ssize_t at = 0; at < length;) {
            const auto* raw = reinterpret_cast<const inotify_event*>(buffer + at);
            WatchEvent event{raw->wd, raw->mask, raw->cookie,
                             raw->len > 0 ? QByteArray(raw->name) : QByteArray()};
            at += ssize_t(sizeof(inotify_event) + raw->len);
            if (onEvent) onEvent(event);
        }
    }
}
