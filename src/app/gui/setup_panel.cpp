#include "app/gui/setup_panel.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/desktidy_controller.h"
#include "app/gui/add_type_panel.h"
#include "app/gui/folders_pane.h"
#include "app/gui/general_pane.h"
#include "app/gui/pack_pane.h"
#include "app/gui/run_owner.h"
#include "app/gui/schedule_pane.h"
#include "app/gui/screen_fit.h"
#include "app/gui/window_state_store.h"
#include "pack/pack_lists.h"
#include "schedule/scheduler.h"

namespace {
const QString autosaveName = QStringLiteral("setupPanel");

// The widgets inside pane that Tab stops at, in the order Tab visits them.
QList<QWidget*> tabStopsIn(QWidget* pane) {
    QList<QWidget*> stops;
    for (QWidget* w = pane->nextInFocusChain(); w != pane; w = w->nextInFocusChain())
        if (pane->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus)) stops << w;
    return stops;
}
}  // namespace

SetupPanel::SizeRules SetupPanel::rulesFor(Pane pane) {
    switch (pane) {
        case General:
            return {QSize(496, 310), false, 0};
        case Folders:
            return {QSize(475, 397), true, 0};
        case Schedule:
            return {QSize(496, 560), false, 0};
        case Pack:
            return {QSize(609, 580), true, 580};
    }
    return {QSize(496, 310), false, 0};
}

SetupPanel::SetupPanel(DesktidyController& controller, WindowStateStore& state, QWidget* parent)
    : QDialog(parent), controller_(controller), state_(state) {
    setObjectName(autosaveName);
    generalView = new GeneralPane(controller.draft(), this);
    addTypePanel_ = new AddTypePanel(
        [this](const QString& type, const QString& description) {
            const RunOwner owner(addTypePanel_);
            // Nothing is added with the archive row or no row selected, and the panel
            // stays open.
            const std::optional<Category> category = categoryAt(controller_.shownCategoryRow());
            if (category) controller_.addType(*category, type, description);
            Q_EMIT commandFinished();  // the type table shows the list either way
            return category.has_value();
        },
        this);
    foldersView = new FoldersPane(controller, this);
    scheduleView =
        new SchedulePane(controller.draft().schedule, controller.draft().watchSettle, this);
    packView = new PackPane(controller.draft(), this);
    // Each pane scrolls where the screen is too small for the room it asks for, so the
    // buttons below stay in view.
    QWidget* const panes[] = {generalView, foldersView, scheduleView, packView};
    for (int i = 0; i < 4; ++i) {
        scrollers_[i] = new QScrollArea(this);
        scrollers_[i]->setWidgetResizable(true);
        scrollers_[i]->setFrameShape(QFrame::NoFrame);
        scrollers_[i]->setWidget(panes[i]);
        scrollers_[i]->setFocusPolicy(Qt::NoFocus);  // a focused control scrolls into view
        scrollers_[i]->hide();
    }

    setupToolbar = new QToolBar(this);
    setupToolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setupToolbar->setMovable(false);
    paneActions_ = new QActionGroup(this);
    const struct {
        QString label;
        QStyle::StandardPixmap icon;
    } items[] = {{tr("General"), QStyle::SP_ComputerIcon},
                 {tr("Folders"), QStyle::SP_DirIcon},
                 {tr("Schedule"), QStyle::SP_FileDialogDetailedView},
                 {tr("Pack Stashery"), QStyle::SP_DriveHDIcon}};
    for (int i = 0; i < 4; ++i) {
        QAction* action =
            setupToolbar->addAction(style()->standardIcon(items[i].icon), items[i].label);
        action->setCheckable(true);
        paneActions_->addAction(action);
        connect(action, &QAction::triggered, this, [this, i] { doSetupPanel(Pane(i)); });
        // The pane bar is in the Tab order, and Alt+1..4 choose its panes.
        setupToolbar->widgetForAction(action)->setFocusPolicy(Qt::TabFocus);
        action->setShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + i)));
        paneSizes_[i] = state_.size(autosaveName + QString::number(i), rulesFor(Pane(i)).size);
    }

    saveButton = new QPushButton(tr("&Save"), this);
    cancelButton = new QPushButton(tr("Cancel"), this);
    resetButton = new QPushButton(tr("&Reset"), this);
    // Ctrl+PgDown and Ctrl+PgUp go to the next and the previous pane, as tabs do.
    for (const auto& [key, step] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageUp, 3}})
        connect(new QShortcut(QKeySequence(Qt::CTRL | key), this), &QShortcut::activated, this,
                [this, step] { doSetupPanel(Pane((current_ + step) % 4)); });
    saveButton->setAutoDefault(false);
    cancelButton->setAutoDefault(false);
    resetButton->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this,
            [this] { runCommand([this] { saveSetup(); }); });
    connect(resetButton, &QPushButton::clicked, this,
            [this] { runCommand([this] { controller_.resetSetup(); }); });
    connect(cancelButton, &QPushButton::clicked, this, [this] {
        runCommand([this] { controller_.cancelSetup(); });
        close();
    });

    bindPaneCommands();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(resetButton);
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(saveButton);

    paneArea_ = new QVBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(setupToolbar);
    layout->addLayout(paneArea_, 1);
    layout->addLayout(buttons);

    // Tab runs through the pane bar, the pane shown, then the buttons as they read.
    QList<QWidget*> order;
    for (QAction* action : paneActions_->actions()) order << setupToolbar->widgetForAction(action);
    for (QWidget* pane : panes) order << tabStopsIn(pane);
    order << resetButton << cancelButton << saveButton;
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order.at(i - 1), order.at(i));

    state_.restoreGeometry(autosaveName, this);
    packView->restoreColumns(state_);
    paneActions_->actions().at(General)->setChecked(true);
}

void SetupPanel::bindPaneCommands() {
    auto bind = [this](QPushButton* button, std::function<void()> command) {
        connect(button, &QPushButton::clicked, this, [this, command] { runCommand(command); });
    };
    bind(foldersView->delTypeButton, [this] {
        if (const std::optional<Category> category = categoryAt(controller_.shownCategoryRow()))
            controller_.removeTypes(*category,
                                    FoldersPane::selectedRows(foldersView->fileTypeTableView));
    });
    bind(foldersView->delFolderButton, [this] {
        controller_.removeFolders(FoldersPane::selectedRows(foldersView->myFoldersTableView));
    });
    bind(foldersView->addFolderButton, [this] { addFolders(); });
    connect(foldersView->addTypeButton, &QPushButton::clicked, addTypePanel_,
            &AddTypePanel::addType);
    connect(addTypePanel_, &AddTypePanel::added, this, &SetupPanel::bringToFront);
    bind(packView->addPackButton, [this] { addPackRow(PackSide::Pack); });
    bind(packView->addUnpackButton, [this] { addPackRow(PackSide::Unpack); });
    bind(packView->delPackButton, [this] {
        controller_.removePackRows(PackSide::Pack,
                                   FoldersPane::selectedRows(packView->packTableView));
    });
    bind(packView->delUnpackButton, [this] {
        controller_.removePackRows(PackSide::Unpack,
                                   FoldersPane::selectedRows(packView->unpackTableView));
    });
    bind(packView->reverseButton, [this] { controller_.reversePackList(); });
    bind(packView->clearButton, [this] { controller_.clearPackLists(); });
    // Each has told the user how it ended.
    bind(scheduleView->scheduleButton, [this] {
        (void)controller_.setSchedule(controller_.draft().schedule);
        showCrontab();
    });
    bind(scheduleView->removeScheduleButton, [this] {
        (void)controller_.removeSchedule();
        showCrontab();
    });
    connect(scheduleView->watchCheck, &QCheckBox::clicked, this, [this](bool on) {
        runCommand([this, on] {
            (void)(on ? controller_.startWatchService() : controller_.stopWatchService());
            scheduleView->showWatchState(controller_.watchServiceState());
        });
    });
}

void SetupPanel::saveSetup() {
    controller_.saveSetup();
    controller_.services().prompter.notice(QStringLiteral("The Setup has been saved."));
}

void SetupPanel::addFolders() {
    PathChooser& chooser = controller_.services().chooser;
    const auto chosen = chooser.choose(ChooserRequest::forFolders(
        QStringLiteral("Add Folders for File All Stashery"), QStringLiteral("Add"), true));
    // Once folders were added the panel comes back to the front.
    if (chosen && controller_.addFolders(*chosen) == RunResult::Done) bringToFront();
}

void SetupPanel::addPackRow(PackSide side) {
    // A source, then the folder it is copied into; a cancelled panel adds nothing.
    QStringList sources, destinations;
    if (addRowByChoosing(controller_.services().chooser, sources, destinations))
        controller_.addPackRow(side, {sources.first(), destinations.first()});
}

void SetupPanel::doSetupPanel(Pane pane) {
    if (paneShown_) {
        paneArea_->removeWidget(scrollers_[current_]);
        scrollers_[current_]->hide();
    }
    current_ = pane;
    paneShown_ = true;
    paneArea_->addWidget(scrollers_[pane]);
    scrollers_[pane]->show();
    paneActions_->actions().at(pane)->setChecked(true);
    setWindowTitle(paneActions_->actions().at(pane)->text());
    if (pane == Schedule) {
        showCrontab();
        scheduleView->showWatchState(controller_.watchServiceState());
    }

    const SizeRules rules = rulesFor(pane);
    if (rules.maximumHeight > 0) maximumHeight_ = rules.maximumHeight;
    // A fixed pane grows to what its content asks for, where the screen has the room.
    const QSize size = rules.resizable ? paneSizes_[pane] : paneSizes_[pane].expandedTo(sizeHint());
    if (rules.resizable) {
        // Smaller than the pane asks for is allowed: its content scrolls then.
        setMinimumSize(minimumSizeHint());
        setMaximumSize(QWIDGETSIZE_MAX, maximumHeight_);
    } else {
        setMinimumSize(size);
        setMaximumSize(size);
    }
    setSizeGripEnabled(rules.resizable);
    // Qt keeps the top-left corner when a window changes size, so the top edge stays.
    resize(size.boundedTo(maximumSize()).expandedTo(minimumSize()));
    fitToScreen(this);
    bringToFront();
}

void SetupPanel::keyPressEvent(QKeyEvent* event) {
    // Escape does what Cancel does: the draft goes back to the saved setup.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        cancelButton->click();
    else
        QDialog::keyPressEvent(event);
}

namespace {

// Keeps the one notice a crontab read gives, to show it in the pane instead of an alert.
class NoticeKeeper : public Prompter {
  public:
    QString kept;
    bool confirm(const QString&, const QString&, const QString&) override { return false; }
    void notice(const QString& message) override { kept = message; }
    void criticalNotice(const QString& message) override { kept = message; }
    FileErrorChoice fileError(const FileError&) override { return FileErrorChoice::Stop; }
};

}  // namespace

void SetupPanel::showCrontab() {
    NoticeKeeper notices;
    Scheduler scheduler(controller_.services().tools, notices,
                        controller_.services().toolPaths.crontab);
    const std::optional<QByteArray> table = scheduler.readCrontab();
    scheduleView->showEntries(table ? std::optional(programLines(*table)) : std::nullopt,
                              notices.kept);
}

void SetupPanel::showLastPane() { doSetupPanel(current_); }

void SetupPanel::bringToFront() {
    show();
    raise();
    activateWindow();
}

void SetupPanel::refresh() {
    generalView->refresh();
    foldersView->refresh();
    scheduleView->refresh();
    packView->refresh();
}

void SetupPanel::runCommand(const std::function<void()>& command) {
    const RunOwner owner(this);
    command();
    Q_EMIT commandFinished();
}

void SetupPanel::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The next showing of this pane opens at the size the user gave it.
    if (paneShown_ && rulesFor(current_).resizable) paneSizes_[current_] = size();
}

void SetupPanel::hideEvent(QHideEvent* event) {
    state_.saveGeometry(autosaveName, this);
    for (int i = 0; i < 4; ++i)
        if (rulesFor(Pane(i)).resizable)
            state_.saveSize(autosaveName + QString::number(i), paneSizes_[i]);
    packView->saveColumns(state_);
    QDialog::hideEvent(event);
}
