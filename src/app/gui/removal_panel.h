#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QFileIconProvider>
#include <QList>

#include "app/removal_checklist.h"

class DesktidyController;
class QPushButton;
class QTableView;

// The removal list: per row a check box, the item's icon and its two-line label, under
// the column identifiers "delAppCheck", "delAppIcon" and "delAppPath". Typing changes
// nothing; the check box changes only through the checklist. A row that follows a checked
// folder looks disabled.
class DelAppModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit DelAppModel(const RemovalChecklist& rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void reload();

  private:
    const RemovalChecklist& rows_;
    QFileIconProvider icons_;
};

// The removal panel: the application and its related items, each with a check box that
// a click in its row, or Space on the focused row, switches, and the button that moves
// the checked ones to the Trash.
class RemovalPanel : public QDialog {
    Q_OBJECT
  public:
    static constexpr int rowHeight = 48;

    RemovalPanel(DesktidyController& controller, QWidget* parent = nullptr);

    // Shows this list and brings the panel to the front.
    void showList(RemovalChecklist checklist);
    const RemovalChecklist& checklist() const { return checklist_; }

    QTableView* delAppTableView;
    QPushButton* moveButton;

  Q_SIGNALS:
    void commandFinished();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void toggle(int row);

    DesktidyController& controller_;
    RemovalChecklist checklist_;
    DelAppModel* model_;
};
