#pragma once

#include <QWidget>

#include "names/name_change_options.h"

class DesktidyController;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QTableWidget;
class QLineEdit;
class QPushButton;
class WindowStateStore;

// The name-change window: the rules by which Change Names renames the items of the
// working folder. Every control writes its value into the window's options at once,
// which the run takes as they stand.
class NameChangeWindow : public QWidget {
    Q_OBJECT
  public:
    NameChangeWindow(DesktidyController& controller, WindowStateStore& state,
                     QWidget* parent = nullptr);

    // Brings the window to the front (the Change Names... command).
    void changeNames();
    // Shows the options and the working folder again.
    void refresh();
    const NameChangeOptions& options() const { return options_; }
    // Gives the controls these values, as if the user had set them.
    void setOptions(const NameChangeOptions& options) {
        options_ = options;
        refresh();
    }

  public Q_SLOTS:
    // Unchecks the rules and empties the texts (Clear).
    void clearChangeNames();
    // Renames the items of the working folder by the options (the Change Names button).
    void doChangeNames();

  public:
    QCheckBox* replaceCheck;
    QLineEdit* replace1TextField;
    QLineEdit* replace2TextField;
    QCheckBox* ignoreCaseCheck;
    QCheckBox* prefixNumberCheck;
    QCheckBox* prefixStringCheck;
    QLineEdit* prefixTextField;
    QCheckBox* prefixNumber2Check;
    QCheckBox* suffixNumberCheck;
    QCheckBox* suffixStringCheck;
    QLineEdit* suffixTextField;
    QCheckBox* suffixNumber2Check;
    QCheckBox* removeSpacesCheck;
    QCheckBox* removeNumbersCheck;
    QCheckBox* caseCheck;
    QButtonGroup* upperLower;    // 0 upper case, 1 lower case
    QButtonGroup* filesFolders;  // 0 files only, 1 files and folders
    QPushButton* clearButton;
    QPushButton* runButton;
    // The live preview: each item's name and the name the run would give it, worked out
    // afresh on every change of an option; refused items marked; then where the run
    // would stop, with its alert.
    QTableWidget* preview = nullptr;
    QLabel* previewStop = nullptr;

  Q_SIGNALS:
    // A run ended; the main window shows the state again.
    void commandFinished();

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    QCheckBox* check(const QString& text, bool NameChangeOptions::*member);
    QLineEdit* field(QString NameChangeOptions::*member);
    void updatePreview();

    DesktidyController& controller_;
    WindowStateStore& state_;
    QLabel* folder_;
    NameChangeOptions options_;
    bool placed_ = false;
};
