#pragma once

#include <QDialog>
#include <QList>

#include "trash/trash_listing.h"

class QPushButton;
class QTreeWidget;

// The Trash view: each item of the Trash with its name, original place, deletion date
// and size, newest first. The user selects any number of them; "Delete Selected Items"
// (or the Delete key in the list) hands the chosen paths on, none at all when nothing is
// selected. The panel stays as it is meanwhile: whoever deletes them closes it once a
// deletion ran, and a "Cancel" to the question leaves the list and its selection. "Put
// Back" hands them on to go back where they came from, and the panel stays open to show
// the Trash as it is then.
class TrashPanel : public QDialog {
    Q_OBJECT
  public:
    enum Column { NameColumn, PlaceColumn, DateColumn, SizeColumn };

    explicit TrashPanel(QWidget* parent = nullptr);

    // Shows these items, none selected, and brings the panel to the front.
    void showItems(const QList<TrashEntry>& entries);

    QTreeWidget* trashTableView;
    QPushButton* deleteButton;
    QPushButton* putBackButton;

  Q_SIGNALS:
    void itemsChosen(const QList<Path>& paths);
    void itemsToPutBack(const QList<Path>& paths);

  private:
    void confirm();
    // The selected items, in the listed order.
    QList<Path> selectedPaths() const;

    QList<TrashEntry> entries_;
};
