#include "app/gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/desktidy_controller.h"
#include "app/gui/app_actions.h"
#include "app/gui/history_window.h"
#include "app/gui/info_boxes.h"
#include "app/gui/name_change_window.h"
#include "app/gui/path_control.h"
#include "app/gui/removal_panel.h"
#include "app/gui/screen_fit.h"
#include "app/gui/setup_panel.h"
#include "app/gui/trash_panel.h"
#include "app/gui/update_checker.h"
#include "app/gui/window_run_front_end.h"
#include "app/gui/window_state_store.h"

namespace {
const QString autosaveName = QStringLiteral("dktWindow");
}

MainWindow::MainWindow(DesktidyController& controller, WindowStateStore& state,
                       UpdateChecker* updates, QWidget* parent)
    : QMainWindow(parent),
      controller_(controller),
      state_(state),
      updates_(updates),
      actions_(new AppActions(this)),
      workingFolderControl_(new PathControl(this)),
      setupPanel_(new SetupPanel(controller, state, this)),
      nameChangeWindow_(new NameChangeWindow(controller, state, this)),
      removalPanel_(new RemovalPanel(controller, this)),
      trashPanel_(new TrashPanel(this)),
      runFrontEnd_(new WindowRunFrontEnd(this, &state)) {
    setObjectName(autosaveName);
    setWindowTitle(QStringLiteral("Desktidy"));
    setAcceptDrops(true);
    actions_->buildMenus(menuBar());
    history_ = addEditMenu(this, controller_);
    // Ctrl+Z undoes the last run in the Change Names window too.
    nameChangeWindow_->addAction(history_->undoAction());
    connect(history_, &HistoryWindow::commandFinished, this, &MainWindow::refresh);

    auto* central = new QWidget(this);
    central->setAutoFillBackground(true);

    auto* grid = new QGridLayout;
    buildButtons(grid);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(workingFolderControl_);
    layout->addSpacing(6);
    layout->addLayout(grid);
    layout->addStretch();
    // The last run's one-line result, until the next run ends.
    resultLine_ = new QLabel(central);
    resultLine_->setObjectName(QStringLiteral("resultLine"));
    resultLine_->setTextFormat(Qt::PlainText);
    resultLine_->setWordWrap(true);
    layout->addWidget(resultLine_);
    setCentralWidget(central);
    controller_.setRunOptions({runFrontEnd_});
    connect(runFrontEnd_, &WindowRunFrontEnd::ended, this, &MainWindow::showRunEnd);

    applyGrey();
    resize(600, sizeHint().height());
    state_.restoreGeometry(autosaveName, this);
    fitToScreen(this);
    state_.keepFrame(QStringLiteral("trashPanel"), trashPanel_);
    state_.keepFrame(QStringLiteral("delAppPanel"), removalPanel_);
    bindCommands();
    bindControllerCommands();
    connect(setupPanel_, &SetupPanel::commandFinished, this, &MainWindow::refresh);
    refresh();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildButtons(QGridLayout* grid) {
    const struct {
        const char* name;
        QString text;
        QAction* action;
    } buttons[] = {
        {"fileButton", tr("F&ile"), actions_->desktidy},
        {"unfileButton", tr("&Unfile"), actions_->undesktidy},
        {"fileAllButton", tr("File &All"), actions_->fileAllStashery},
        {"unfileAllButton", tr("Unfile A&ll"), actions_->unfileAllStashery},
        {"packButton", tr("&Pack"), actions_->packStashery},
        {"unpackButton", tr("Unpac&k"), actions_->unpackStashery},
        {"changeNamesButton", tr("Change &Names"), actions_->changeNames},
        {"emptyTrashButton", tr("Empt&y Trash"), actions_->deleteTrashItems},
        {"deleteAppButton", tr("&Remove App"), actions_->removeApplication},
        {"setupButton", tr("&Setup"), actions_->setup},
    };
    // Tab goes from the path control's Choose... through the buttons, row by row.
    QWidget* previous = workingFolderControl_->chooseButton;
    int i = 0;
    for (const auto& b : buttons) {
        auto* button = new QPushButton(b.text, this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setToolTip(b.action->iconText());  // the text less "&" and "..."
        button->setMinimumHeight(button->sizeHint().height() + 8);
        QAction* action = b.action;
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, button,
                [button, action] { button->setEnabled(action->isEnabled()); });
        grid->addWidget(button, i / 4, i % 4);
        setTabOrder(previous, button);
        previous = button;
        ++i;
    }
}

QPushButton* MainWindow::buttonFor(const QString& objectName) const {
    return findChild<QPushButton*>(objectName);
}

void MainWindow::bindCommands() {
    connect(actions_->setup, &QAction::triggered, this, [this] { setupPanel_->showLastPane(); });
    connect(actions_->quit, &QAction::triggered, this, &QWidget::close);
    connect(actions_->about, &QAction::triggered, this, [this] { showAbout(this); });
    connect(workingFolderControl_, &PathControl::chooseRequested, this,
            &MainWindow::chooseShownFolder);
    if (updates_) {
        connect(actions_->checkVersion, &QAction::triggered, updates_,
                &UpdateChecker::checkForUpdates);
        connect(updates_, &UpdateChecker::finished, this, &MainWindow::presentUpdateAnswer);
    } else {
        actions_->checkVersion->setEnabled(false);
    }
}

void MainWindow::refresh() {
    workingFolderControl_->setPath(controller_.draft().workingFolder);
    setupPanel_->refresh();
    // An open Change Names window plans again: names may have changed under it.
    nameChangeWindow_->refresh();
    history_->refreshUndoAction();
}

void MainWindow::showRunEnd(const RunEnd& end) {
    // A run over the folder list ends with each folder's line; the window shows its sum.
    if (end.started) resultLine_->setText(resultLine(end.report, QLocale()));
    history_->refreshUndoAction();
}

void MainWindow::showFolder(const QString& folder) {
    // The last result was about the folder shown before.
    if (folder != controller_.draft().workingFolder) resultLine_->clear();
    controller_.setWorkingFolder(folder);
    refresh();
}

std::optional<Path> MainWindow::askForWorkingFolder() {
    ChooserRequest request = ChooserRequest::forFolders(tr("Choose the Folder to Work On"),
                                                        QStringLiteral("Choose"), false);
    request.startFolder = controller_.workingFolder();
    const auto chosen = controller_.services().chooser.choose(request);
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    return chosen->last();
}

void MainWindow::chooseShownFolder() {
    // The panel gives text, whose bytes are UTF-8.
    if (const std::optional<Path> chosen = askForWorkingFolder())
        if (const std::optional<QString> folder = chosen->toText()) showFolder(*folder);
}

void MainWindow::presentUpdateAnswer(const UpdateAnswer& answer) {
    // While a run holds the window the answer waits, so it never lands between its alerts.
    if (runFrontEnd_->isRunning()) {
        QTimer::singleShot(500, this, [this, answer] { presentUpdateAnswer(answer); });
        return;
    }
    showUpdateAnswer(this, answer);
}

void MainWindow::applyGrey() {
    // Dark grey blended half-way towards white, or towards black with a dark palette.
    const QPalette palette = QApplication::palette(this);
    const bool dark = palette.color(QPalette::Window).lightnessF() < 0.5;
    const float shade = dark ? 1.0f / 3 : 2.0f / 3;
    QPalette grey = palette;
    grey.setColor(QPalette::Window, QColor::fromRgbF(shade, shade, shade));
    grey.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
    centralWidget()->setPalette(grey);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Another program may have run meanwhile: Ctrl+Z names what it would undo now.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && history_)
        history_->refreshUndoAction();
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        applyGrey();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    state_.saveGeometry(autosaveName, this);
    setupPanel_->close();
    nameChangeWindow_->close();
    event->accept();
    // Closing the main window quits the program, whatever else is open.
    QCoreApplication::quit();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    showFolder(urls.first().toLocalFile());
    event->acceptProposedAction();
}
