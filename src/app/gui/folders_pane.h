#pragma once

#include <QWidget>

struct Settings;
struct SetupForm;
class QPushButton;
class QTableView;
class ListTableModel;

// The Folders pane: the category table with its folder names, the type table of the
// selected category, and the list of folders filed in one go.
class FoldersPane : public QWidget {
    Q_OBJECT
  public:
    FoldersPane(Settings& settings, SetupForm& form, QWidget* parent = nullptr);
    // Shows the lists again and selects the form's category row.
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

    Settings& settings_;
    SetupForm& form_;
    ListTableModel* folderNames_;
    ListTableModel* types_;
    ListTableModel* folders_;
};

// A table of one stretching column with whole-row selection.
QTableView* makeListTable(QWidget* parent, const QString& objectName);
