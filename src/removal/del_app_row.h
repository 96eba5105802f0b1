#pragma once

#include <QString>

#include "platform/path.h"

// One row of the application-removal list: whether it is checked, the item it stands
// for (whose icon the window shows), the item's two-line label, and whether the item
// only may be related to the application: its name holds the application's name but not
// as a word of its own ("Foobar" for "Foo"). Such a row starts unchecked; every other
// starts checked. Only the check changes.
class DelAppRow {
  public:
    DelAppRow(Path itemPath, QString label, bool mayBeRelated = false)
        : checked_(!mayBeRelated),
          mayBeRelated_(mayBeRelated),
          itemPath_(std::move(itemPath)),
          label_(std::move(label)) {}

    bool isChecked() const { return checked_; }
    void setChecked(bool checked) { checked_ = checked; }
    void toggleChecked() { checked_ = !checked_; }
    // The item's path; the window asks its icon provider for the icon of it.
    const Path& itemPath() const { return itemPath_; }
    // The item's name, size and path (see itemLabel).
    const QString& label() const { return label_; }
    bool mayBeRelated() const { return mayBeRelated_; }

  private:
    bool checked_;
    bool mayBeRelated_;
    Path itemPath_;
    QString label_;
};
