#pragma once

#include <QList>

#include "removal/application_removal.h"

// The removal list as the user checks it. A row whose item lies inside another listed
// folder follows that folder: while the folder is checked the row shows checked and
// cannot be unchecked on its own, as it goes with the folder. Unchecking the folder
// unchecks the rows inside it, which the user may then check one by one. What moves is
// exactly what shows checked.
class RemovalChecklist {
  public:
    RemovalChecklist() = default;
    // Every row as the list has it checked.
    explicit RemovalChecklist(RemovalList list);

    qsizetype size() const { return list_.rows.size(); }
    // The search was stopped: there are no rows.
    bool cancelled() const { return list_.cancelled; }
    const DelAppRow& row(qsizetype row) const { return list_.rows.at(row); }
    // Checked as shown: by its own box, or by a checked folder it lies in.
    bool isChecked(qsizetype row) const;
    // Inside a checked folder of the list: shown checked, and not to be changed.
    bool followsFolder(qsizetype row) const;
    // Sets a row's box; unchecking a folder unchecks the rows inside it. False, and
    // nothing changes, for a row that follows a folder or is out of range.
    bool setChecked(qsizetype row, bool on);
    bool toggle(qsizetype row) { return setChecked(row, !isChecked(row)); }

    // The list to move: every checked row that follows no folder stays checked, as
    // those that follow one go with it.
    RemovalList toMove() const;

  private:
    RemovalList list_;
    QList<bool> checked_;              // each row's own box
    QList<QList<qsizetype>> folders_;  // for each row, the listed folders it lies in
};
