#pragma once

#include <QKeySequence>
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

// The key clicks button while table has the focus, and the button's tooltip names it:
// Insert adds to a list as its "+" button does, Delete removes its selected rows as its
// "-" button does.
void clickOnKey(QAbstractItemView* table, const QKeySequence& key, QAbstractButton* button);
inline void clickOnInsertKey(QAbstractItemView* table, QAbstractButton* button) {
    clickOnKey(table, QKeySequence(Qt::Key_Insert), button);
}
inline void clickOnDeleteKey(QAbstractItemView* table, QAbstractButton* button) {
    clickOnKey(table, QKeySequence(QKeySequence::Delete), button);
}
// The widgets, from first to last, in this order for Tab.
void tabInOrder(std::initializer_list<QWidget*> widgets);
// A label whose access key moves the focus to buddy.
QLabel* buddyLabel(const QString& text, QWidget* buddy);

// A table of one stretching column with whole-row selection, which Tab leaves.
QTableView* makeListTable(QWidget* parent, const QString& objectName);
