#pragma once

#include <QWidget>

struct Settings;
class QCheckBox;
class QComboBox;

// The General pane: the archive date pop-ups and the update check box.
class GeneralPane : public QWidget {
    Q_OBJECT
  public:
    GeneralPane(Settings& draft, QWidget* parent = nullptr);
    // Shows the draft's values.
    void refresh();

    QComboBox* archiveMo;
    QComboBox* archiveDa;
    QComboBox* archiveYr;
    QCheckBox* updatesCheck;

  private:
    void showWhatApplies();

    Settings& draft_;
};

// Selects the item whose value is title, adding one when the pop-up has none, as a
// pop-up shows a stored value it does not list.
void selectTitle(QComboBox* popUp, const QString& title);
