#pragma once

#include <QObject>
#include <atomic>
#include <functional>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP (a closed terminal) as events of the loop, while this lives: the
// handler sets flag(), which a run reads between items, and wakes the loop through a pipe, where
// stopped is called. One at a time; the handlers before it come back when it goes.
class StopSignals : public QObject {
  public:
    explicit StopSignals(std::function<void()> stopped);
    ~StopSignals() override;

    static const std::atomic_bool* flag();

  private:
    std::function<void()> stopped_;
    QSocketNotifier* notifier_ = nullptr;
};
