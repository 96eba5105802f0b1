#include "app/gui/name_change_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/desktidy_controller.h"
#include "app/gui/folders_pane.h"
#include "app/gui/run_owner.h"
#include "app/gui/screen_fit.h"
#include "app/gui/window_state_store.h"

namespace {
const QString autosaveName = QStringLiteral("nameChangeWindow");

QButtonGroup* choice(QWidget* parent, const QString& first, const QString& second, QHBoxLayout* row,
                     const std::function<void(int)>& chosen) {
    auto* group = new QButtonGroup(parent);
    auto* a = new QRadioButton(first, parent);
    auto* b = new QRadioButton(second, parent);
    group->addButton(a, 0);
    group->addButton(b, 1);
    row->addWidget(a);
    row->addWidget(b);
    QObject::connect(group, &QButtonGroup::idToggled, parent, [chosen](int id, bool on) {
        if (on) chosen(id);
    });
    return group;
}
}  // namespace

NameChangeWindow::NameChangeWindow(DesktidyController& controller, WindowStateStore& state,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window),
      controller_(controller),
      state_(state),
      folder_(new QLabel(this)) {
    setObjectName(autosaveName);
    setWindowTitle(tr("Change Names"));
    folder_->setTextFormat(Qt::PlainText);
    folder_->setWordWrap(true);

    replaceCheck = check(tr("&Replace"), &NameChangeOptions::replaceCheck);
    replace1TextField = field(&NameChangeOptions::replace1TextField);
    replace2TextField = field(&NameChangeOptions::replace2TextField);
    ignoreCaseCheck = check(tr("&Ignore case"), &NameChangeOptions::ignoreCaseCheck);
    prefixNumberCheck = check(tr("Number"), &NameChangeOptions::prefixNumberCheck);
    prefixStringCheck = check(tr("Text"), &NameChangeOptions::prefixStringCheck);
    prefixTextField = field(&NameChangeOptions::prefixTextField);
    prefixNumber2Check = check(tr("Number"), &NameChangeOptions::prefixNumber2Check);
    suffixNumberCheck = check(tr("Number"), &NameChangeOptions::suffixNumberCheck);
    suffixStringCheck = check(tr("Text"), &NameChangeOptions::suffixStringCheck);
    suffixTextField = field(&NameChangeOptions::suffixTextField);
    suffixNumber2Check = check(tr("Number"), &NameChangeOptions::suffixNumber2Check);
    removeSpacesCheck = check(tr("Remove spa&ces"), &NameChangeOptions::removeSpacesCheck);
    removeNumbersCheck = check(tr("Remove &numbers (0-9)"), &NameChangeOptions::removeNumbersCheck);
    caseCheck = check(tr("Change case &to"), &NameChangeOptions::caseCheck);

    auto* rules = new QGroupBox(tr("Rules, applied in this order"), this);
    auto* grid = new QGridLayout(rules);
    grid->addWidget(replaceCheck, 0, 0);
    grid->addWidget(replace1TextField, 0, 1);
    grid->addWidget(buddyLabel(tr("&with"), replace2TextField), 0, 2);
    grid->addWidget(replace2TextField, 0, 3);
    grid->addWidget(ignoreCaseCheck, 1, 1);
    auto addAffix = [&](int row, const QString& label, QCheckBox* n1, QCheckBox* text,
                        QLineEdit* edit, QCheckBox* n2) {
        grid->addWidget(buddyLabel(label, edit), row, 0);
        auto* line = new QHBoxLayout;
        line->addWidget(n1);
        line->addWidget(text);
        line->addWidget(edit, 1);
        line->addWidget(n2);
        grid->addLayout(line, row, 1, 1, 3);
    };
    addAffix(2, tr("&Prefix:"), prefixNumberCheck, prefixStringCheck, prefixTextField,
             prefixNumber2Check);
    addAffix(3, tr("&Suffix:"), suffixNumberCheck, suffixStringCheck, suffixTextField,
             suffixNumber2Check);
    grid->addWidget(removeSpacesCheck, 4, 0, 1, 2);
    grid->addWidget(removeNumbersCheck, 5, 0, 1, 2);
    auto* caseRow = new QHBoxLayout;
    caseRow->addWidget(caseCheck);
    NameChangeOptions& options = options_;
    upperLower =
        choice(this, tr("&Upper case"), tr("&Lower case"), caseRow, [this, &options](int id) {
            options.lowerCase = id == 1;
            updatePreview();
        });
    caseRow->addStretch();
    grid->addLayout(caseRow, 6, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* whichRow = new QHBoxLayout;
    whichRow->addWidget(new QLabel(tr("Change the names of:"), this));
    filesFolders = choice(this, tr("&Files only"), tr("Files &and folders"), whichRow,
                          [this, &options](int id) {
                              options.foldersToo = id == 1;
                              updatePreview();
                          });
    whichRow->addStretch();

    clearButton = new QPushButton(tr("Cl&ear"), this);
    runButton = new QPushButton(tr("C&hange Names"), this);
    // Escape closes the window, as closing it does; the options stay for next time.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    runButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clearButton);
    buttons->addStretch();
    buttons->addWidget(runButton);

    preview = new QTableWidget(0, 2, this);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setHorizontalHeaderLabels({tr("Name"), tr("New Name")});
    preview->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    preview->verticalHeader()->hide();
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview->setTabKeyNavigation(false);  // Tab goes on to the buttons
    // The preview takes the room there is; on a small screen it shrinks to nothing.
    preview->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    previewStop = new QLabel(this);
    previewStop->setTextFormat(Qt::PlainText);
    previewStop->setWordWrap(true);
    previewStop->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folder_);
    layout->addWidget(rules);
    // The choice of items and the preview of their names sit together, with no gap, so
    // the window still fits a small screen at scale 2.
    auto* which = new QVBoxLayout;
    which->setSpacing(0);
    which->addLayout(whichRow);
    which->addWidget(preview, 1);
    layout->addLayout(which, 1);
    layout->addWidget(previewStop);
    layout->addLayout(buttons);

    connect(clearButton, &QPushButton::clicked, this, &NameChangeWindow::clearChangeNames);
    connect(runButton, &QPushButton::clicked, this, &NameChangeWindow::doChangeNames);
    // Room for about ten rows of the preview, which on its own asks for none.
    resize(560, sizeHint().height() + 10 * preview->verticalHeader()->defaultSectionSize() +
                    preview->horizontalHeader()->sizeHint().height());
    refresh();
}

QCheckBox* NameChangeWindow::check(const QString& text, bool NameChangeOptions::*member) {
    auto* box = new QCheckBox(text, this);
    connect(box, &QCheckBox::toggled, this, [this, member](bool on) {
        options_.*member = on;
        updatePreview();
    });
    return box;
}

QLineEdit* NameChangeWindow::field(QString NameChangeOptions::*member) {
    auto* edit = new QLineEdit(this);
    connect(edit, &QLineEdit::textChanged, this, [this, member](const QString& text) {
        options_.*member = text;
        updatePreview();
    });
    return edit;
}

void NameChangeWindow::clearChangeNames() {
    ::clearChangeNames(options_);
    refresh();
}

void NameChangeWindow::doChangeNames() {
    const RunOwner owner(this);
    // The run has told the user how it ended.
    (void)controller_.changeNames(controller_.workingFolder(), options_);
    refresh();
    Q_EMIT commandFinished();
}

void NameChangeWindow::changeNames() {
    if (!placed_ && !state_.restoreGeometry(autosaveName, this) && parentWidget()) {
        // The first time, it opens over the main window, as a dialog does.
        const QRect over = parentWidget()->window()->geometry();
        move(over.center() - rect().center());
    }
    placed_ = true;
    refresh();
    fitToScreen(this);
    show();
    updatePreview();
    raise();
    activateWindow();
}

void NameChangeWindow::refresh() {
    const NameChangeOptions& o = options_;
    folder_->setText(
        tr("Changes the names of the items in %1").arg(controller_.draft().workingFolder));
    const std::pair<QCheckBox*, bool> checks[] = {{replaceCheck, o.replaceCheck},
                                                  {ignoreCaseCheck, o.ignoreCaseCheck},
                                                  {prefixNumberCheck, o.prefixNumberCheck},
                                                  {prefixStringCheck, o.prefixStringCheck},
                                                  {prefixNumber2Check, o.prefixNumber2Check},
                                                  {suffixNumberCheck, o.suffixNumberCheck},
                                                  {suffixStringCheck, o.suffixStringCheck},
                                                  {suffixNumber2Check, o.suffixNumber2Check},
                                                  {removeSpacesCheck, o.removeSpacesCheck},
                                                  {removeNumbersCheck, o.removeNumbersCheck},
                                                  {caseCheck, o.caseCheck}};
    for (const auto& [box, on] : checks) {
        const QSignalBlocker block(box);
        box->setChecked(on);
    }
    const std::pair<QLineEdit*, QString> texts[] = {{replace1TextField, o.replace1TextField},
                                                    {replace2TextField, o.replace2TextField},
                                                    {prefixTextField, o.prefixTextField},
                                                    {suffixTextField, o.suffixTextField}};
    for (const auto& [edit, text] : texts) {
        const QSignalBlocker block(edit);
        if (edit->text() != text) edit->setText(text);
    }
    const QSignalBlocker a(upperLower), b(filesFolders);
    upperLower->button(o.lowerCase ? 1 : 0)->setChecked(true);
    filesFolders->button(o.foldersToo ? 1 : 0)->setChecked(true);
    updatePreview();
}

void NameChangeWindow::updatePreview() {
    // Not while being built, nor for a window that is not shown.
    if (!preview || !isVisible()) return;
    const RunPlan plan = controller_.planChangeNames(controller_.workingFolder(), options_);
    preview->setUpdatesEnabled(false);
    preview->setRowCount(0);
    preview->setRowCount(int(plan.steps.size()));
    int row = 0;
    for (const PlannedStep& step : plan.steps) {
        QString newName = displayName(step.to.fileName());
        if (step.refusal == Refusal::NameTaken) newName += tr("  (name taken: stays)");
        preview->setItem(row, 0, new QTableWidgetItem(displayName(step.from.fileName())));
        preview->setItem(row, 1, new QTableWidgetItem(newName));
        ++row;
    }
    preview->setUpdatesEnabled(true);
    previewStop->setText(!plan.stopAlert ? QString()
                         : plan.stopItem.isEmpty()
                             ? tr("The run would stop: %1").arg(*plan.stopAlert)
                             : tr("The run would stop at \u201c%1\u201d: %2")
                                   .arg(displayName(plan.stopItem.fileName()), *plan.stopAlert));
    // Shown only when there is a stop to tell of, so it takes no room otherwise.
    previewStop->setVisible(plan.stopAlert.has_value());
}

void NameChangeWindow::hideEvent(QHideEvent* event) {
    state_.saveGeometry(autosaveName, this);
    QWidget::hideEvent(event);
}
