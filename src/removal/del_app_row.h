#pragma once

#include <QString>

#include "platform/path.h"

// One row of the application-removal list: whether it is checked (it is when the row is
// made), the item it stands for (whose icon the window shows) and the item's two-line
// label. Only the check changes.
class DelAppRow {
  public:
    DelAppRow(Path itemPath, QString label)
        : itemPath_(std::move(itemPath)), label_(std::move(label)) {}

    bool isChecked() const { return checked_; }
    void setChecked(bool checked) { checked_ = checked; }
    void toggleChecked() { checked_ = !checked_; }
    // The item's path; the window asks its icon provider for the icon of it.
    const Path& itemPath() const { return itemPath_; }
    // The item's name, size and path (see itemLabel).
    const QString& label() const { return label_; }

  private:
    bool checked_ = true;
    Path itemPath_;
    QString label_;
};
