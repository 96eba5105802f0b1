#pragma once

#include <QStringList>
#include <QWidget>

class DesktidyController;
class QAbstractButton;
class QAbstractItemView;
class QLabel;
class QPushButton;
class QTableView;
class ListTableModel;

// The Folders pane: the category table with its folder names, the type table of the
// selected category, and the list of folders filed in one go.
class FoldersPane : public QWidget {
    Q_OBJECT
  public:
    FoldersPane(DesktidyController& controller, QWidget* parent = nullptr);
    // Shows the draft's lists again and selects the controller's category row.
    void refresh();

    // Rows selected in a table, in ascending order.
    static QList<int> selectedRows(const QTableView* table);

    QTableView* folderTableView;
    QTableView* fileTypeTableView;
    QTableView* myFoldersTableView;
    QPushButton* addTypeButton;
    QPushButton* delTypeButton;
    QPushButton* addFolderButton;
    QPushButton* delFolderButton;

  private:
    // A change of the category row loads that category's types into the type table.
    void categoryChosen(int row);
    // The types of the selected category; none for the archive row.
    QStringList* shownTypes();

    DesktidyController& controller_;
    QStringList noTypes_;
    ListTableModel* folderNames_;
    ListTableModel* types_;
    ListTableModel* folders_;
};

// The Delete key clicks button while table has the focus (the table's "-" button).
void clickOnDeleteKey(QAbstractItemView* table, QAbstractButton* button);
// A label whose access key moves the focus to buddy.
QLabel* buddyLabel(const QString& text, QWidget* buddy);

// A table of one stretching column with whole-row selection.
QTableView* makeListTable(QWidget* parent, const QString& objectName);
