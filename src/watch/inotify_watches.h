#pragma once

#include <QObject>
#include <functional>

#include "platform/path.h"
#include "watch/watch_event.h"

class QSocketNotifier;

// One inotify instance, read from the event loop: each event the kernel queues is handed
// to onEvent, in order. Every watch is made with the same set of events, so that adding a
// folder that is already watched (under another name, or for another purpose) never
// narrows what its first watch hears.
class InotifyWatches : public QObject {
  public:
    InotifyWatches();
    ~InotifyWatches() override;

    // 0, or the errno of inotify_init1 (EMFILE: the limit on instances is reached).
    int openError() const { return openError_; }

    // The watch's descriptor, or minus the errno (ENOENT, ENOTDIR, ENOSPC: the limit on
    // watches is reached). followLink: a link to a folder is watched as that folder.
    int add(const Path& folder, bool followLink = true);
    void remove(int watch);

    std::function<void(const WatchEvent&)> onEvent;

  private:
    void readEvents();

    int fd_ = -1;
    int openError_ = 0;
    QSocketNotifier* notifier_ = nullptr;
};

// What each watch listens to.
std::uint32_t watchedEvents();
