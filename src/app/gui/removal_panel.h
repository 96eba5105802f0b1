#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QFileIconProvider>
#include <QFont>
#include <QList>

class DelAppRow;
class DesktidyController;
class QPushButton;
class QTableView;

// The removal list: per row a check box, the item's icon and its two-line label, under
// the column identifiers "delAppCheck", "delAppIcon" and "delAppPath". Typing changes
// nothing; the check box changes only through the controller.
class DelAppModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit DelAppModel(const QList<DelAppRow>& rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void reload();

  private:
    const QList<DelAppRow>& rows_;
    QFileIconProvider icons_;
    QFont font1_;
};

// The removal panel: the application and its related items, each with a check box that
// a click in its row switches, and the button that moves the checked ones to the Trash.
class RemovalPanel : public QDialog {
    Q_OBJECT
  public:
    static constexpr int rowHeight = 48;

    RemovalPanel(DesktidyController& controller, QWidget* parent = nullptr);

    // Shows the list again and brings the panel to the front.
    void showList();

    QTableView* delAppTableView;
    QPushButton* moveButton;

  Q_SIGNALS:
    void commandFinished();

  private:
    DesktidyController& controller_;
    DelAppModel* model_;
};
