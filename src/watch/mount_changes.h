#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Calls changed whenever a file system is mounted or unmounted: the kernel marks
// /proc/self/mountinfo for poll (POLLPRI) when the mount table changes, so this costs
// nothing in between. A folder on a stick that is unmounted is watched again this way
// when the stick comes back, which no inotify event announces.
class MountChanges : public QObject {
  public:
    explicit MountChanges(std::function<void()> changed);
    ~MountChanges() override;

  private:
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::function<void()> changed_;
};
