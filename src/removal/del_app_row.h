#pragma once

#include <QString>

#include "platform/path.h"

// The check box of a removal row: on (1) or off (0).
class DelAppCheck {
  public:
    int state() const { return state_; }
    void setState(int state) { state_ = state ? 1 : 0; }
    // On becomes off, off becomes on.
    void setNextState() { state_ = state_ ? 0 : 1; }

  private:
    int state_ = 1;
};

// One row of the application-removal list: its check box (on when the row is made),
// the item it stands for (whose icon the window shows) and the item's two-line label.
// Only the check box's state ever changes.
class DelAppRow {
  public:
    DelAppRow(Path itemPath, QString label)
        : itemPath_(std::move(itemPath)), delAppPath_(std::move(label)) {}

    DelAppCheck& delAppCheck() { return delAppCheck_; }
    const DelAppCheck& delAppCheck() const { return delAppCheck_; }
    bool isChecked() const { return delAppCheck_.state() != 0; }
    // The item's path; the window asks its icon provider for the icon of it.
    const Path& itemPath() const { return itemPath_; }
    // The item label (name, size and path), despite the name.
    const QString& delAppPath() const { return delAppPath_; }

  private:
    DelAppCheck delAppCheck_;
    Path itemPath_;
    QString delAppPath_;
};
