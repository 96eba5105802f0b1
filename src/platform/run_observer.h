#pragma once

#include <QString>

#include "platform/path.h"

// The item a step is about, as the progress shows it: a name, a whole path or a text. Made
// into text only when it is shown; a long run shows a few of its items a second, and
// decoding every name was a tenth of a filing's own work. Lives for the call it is passed
// to.
class StepItem {
  public:
    StepItem(const QString& text) : text_(&text) {}
    static StepItem name(QByteArrayView bytes) { return StepItem(bytes, nullptr); }
    static StepItem path(const Path& path) { return StepItem({}, &path); }
    QString text() const { return text_ ? *text_ : path_ ? path_->display() : displayName(name_); }

  private:
    StepItem(QByteArrayView name, const Path* path) : name_(name), path_(path) {}
    const QString* text_ = nullptr;
    QByteArrayView name_;
    const Path* path_ = nullptr;
};

// Everything a run tells while it works, and the one way it is asked to stop. The window
// shows it in its progress panel, the command line on a terminal's last line; the run's
// record notes each pass's count from it. Every run works through one, so Cancel in the
// window, Escape, closing and a signal on the command line all stop a run the same way:
// between items, after the item in hand.
class RunObserver {
  public:
    virtual ~RunObserver() = default;

    // A pass of the run begins ("Filing...", "Copying..."): the items it means to handle, and
    // whether they are worth showing one by one.
    virtual void passBegins(const QString& title, qsizetype total, bool showsItems) {
        (void)title, (void)total, (void)showsItems;
    }
    // Before each item of the pass: the count so far, this one included.
    virtual void step(qsizetype done, qsizetype total, const StepItem& item) {
        (void)done, (void)total, (void)item;
    }
    virtual void passEnds() {}
    // Read between items only.
    virtual bool stopRequested() const { return false; }
};

// An observer that shows nothing and never stops: for plans and tests that need none.
RunObserver& silentObserver();
