#pragma once

#include <QWidget>

struct Settings;
class ListTableModel;
class QCheckBox;
class QPushButton;
class QTableView;
class WindowStateStore;

// The Pack Stashery pane: the pack and unpack lists, their buttons and the two
// replace-without-asking check boxes.
class PackPane : public QWidget {
    Q_OBJECT
  public:
    PackPane(Settings& draft, QWidget* parent = nullptr);
    void refresh();

    // Column layouts kept between runs ("packTableView", "unpackTableView").
    void restoreColumns(const WindowStateStore& state);
    void saveColumns(WindowStateStore& state) const;

    QTableView* packTableView;
    QTableView* unpackTableView;
    QPushButton* addPackButton;
    QPushButton* delPackButton;
    QPushButton* addUnpackButton;
    QPushButton* delUnpackButton;
    QPushButton* reverseButton;
    QPushButton* clearButton;
    QCheckBox* packOverwriteCheck;
    QCheckBox* unpackOverwriteCheck;

  private:
    Settings& draft_;
    ListTableModel* pack_;
    ListTableModel* unpack_;
};
