#include "watch/mount_changes.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

MountChanges::MountChanges(std::function<void()> changed) : changed_(std::move(changed)) {
    fd_ = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return;
    // The mark is taken by each poll; an exception notifier asks for POLLPRI only.
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Exception, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        if (changed_) changed_();
    });
}

MountChanges::~MountChanges() {
    delete notifier_;
    if (fd_ >= 0) ::close(fd_);
}
