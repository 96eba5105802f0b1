#pragma once

#include <QPointer>
#include <QWidget>

// The window that started the run going on. While an instance lives, the alerts, open
// panels and progress window of the run belong to that window, so they stay above it
// rather than above the main window. Instances nest; each puts the outer owner back.
class RunOwner {
  public:
    explicit RunOwner(QWidget* window);
    ~RunOwner();
    RunOwner(const RunOwner&) = delete;
    RunOwner& operator=(const RunOwner&) = delete;

    // The owner of the run going on, else fallback.
    static QWidget* currentOr(QWidget* fallback);

  private:
    QPointer<QWidget> outer_;
};
