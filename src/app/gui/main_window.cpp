#include "app/gui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/desktidy_controller.h"
#include "app/gui/app_actions.h"
#include "app/gui/info_boxes.h"
#include "app/gui/name_change_window.h"
#include "app/gui/path_control.h"
#include "app/gui/progress_panel.h"
#include "app/gui/qt_prompter.h"
#include "app/gui/removal_panel.h"
#include "app/gui/setup_panel.h"
#include "app/gui/update_checker.h"
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
      pathControl_(new PathControl(this)),
      setupPanel_(new SetupPanel(controller, state, this)),
      nameChangeWindow_(new NameChangeWindow(controller, state, this)),
      removalPanel_(new RemovalPanel(controller, this)) {
    setObjectName(autosaveName);
    setWindowTitle(QStringLiteral("Desktidy"));
    setAcceptDrops(true);
    actions_->buildMenus(menuBar());

    auto* central = new QWidget(this);
    // The window's grey: dark grey blended half-way towards white.
    QPalette grey = central->palette();
    grey.setColor(QPalette::Window, QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3));
    grey.setColor(QPalette::WindowText, Qt::black);
    central->setPalette(grey);
    central->setAutoFillBackground(true);

    auto* grid = new QGridLayout;
    buildButtons(grid);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(pathControl_);
    layout->addSpacing(6);
    layout->addLayout(grid);
    layout->addStretch();
    // The last run's one-line result, until the next run ends.
    auto* result = new QLabel(central);
    result->setObjectName(QStringLiteral("resultLine"));
    result->setTextFormat(Qt::PlainText);
    result->setWordWrap(true);
    layout->addWidget(result);
    setCentralWidget(central);
    controller_.onRunEnd = [result](const RunReport& report) {
        result->setText(resultLine(report));
    };

    resize(600, sizeHint().height());
    state_.restoreGeometry(autosaveName, this);
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
        {"fileButton", tr("File"), actions_->desktidy},
        {"unfileButton", tr("Unfile"), actions_->undesktidy},
        {"fileAllButton", tr("File All"), actions_->fileAllStashery},
        {"unfileAllButton", tr("Unfile All"), actions_->unfileAllStashery},
        {"packButton", tr("Pack"), actions_->packStashery},
        {"unpackButton", tr("Unpack"), actions_->unpackStashery},
        {"changeNamesButton", tr("Change Names"), actions_->changeNames},
        {"emptyTrashButton", tr("Empty Trash"), actions_->emptyTrash},
        {"deleteAppButton", tr("Remove App"), actions_->deleteApp},
        {"setupButton", tr("Setup"), actions_->setup},
    };
    int i = 0;
    for (const auto& b : buttons) {
        auto* button = new QPushButton(b.text, this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setToolTip(b.action->text().remove(QStringLiteral("...")));
        button->setMinimumHeight(button->sizeHint().height() + 8);
        QAction* action = b.action;
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, button,
                [button, action] { button->setEnabled(action->isEnabled()); });
        grid->addWidget(button, i / 4, i % 4);
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
    connect(pathControl_, &PathControl::chooseRequested, this,
            &MainWindow::choosePathControlFolder);
    if (updates_) {
        connect(actions_->checkVersion, &QAction::triggered, updates_,
                &UpdateChecker::checkForUpdates);
        connect(updates_, &UpdateChecker::finished, this, &MainWindow::presentUpdateAnswer);
    } else {
        actions_->checkVersion->setEnabled(false);
    }
}

void MainWindow::runCommand(const std::function<void()>& command) {
    command();
    refresh();
}

void MainWindow::refresh() {
    pathControl_->setPath(controller_.draft.workingFolder);
    setupPanel_->refresh();
}

void MainWindow::setPrompter(QtPrompter* prompter) {
    prompter_ = prompter;
    ProgressPanel* panel = prompter->progressPanel();
    controller_.runProgress.cancel = panel->cancelFlag();
    controller_.runProgress.onStep = [panel](qsizetype done, qsizetype total, const QString&) {
        panel->showCount(done, total);
    };
}

bool MainWindow::openFile(const QString& path) {
    const bool opened = controller_.openFile(path);
    refresh();
    return opened;
}

void MainWindow::choosePathControlFolder() {
    ChooserRequest request;
    request.confirmButton = QStringLiteral("Choose");
    request.chooseFiles = false;
    request.chooseFolders = true;
    request.multiple = false;
    request.startFolder = controller_.workingFolder();
    // The panel gives text, whose bytes are UTF-8.
    if (auto chosen = controller_.services.chooser.choose(request); chosen && !chosen->isEmpty()) {
        controller_.draft.workingFolder = chosen->last().toText().value_or(QString());
        refresh();
    }
}

void MainWindow::presentUpdateAnswer(const UpdateAnswer& answer) {
    // While a run holds the window the answer waits, so it never lands between its alerts.
    if (prompter_ && prompter_->isBusy()) {
        QTimer::singleShot(500, this, [this, answer] { presentUpdateAnswer(answer); });
        return;
    }
    showUpdateAnswer(this, answer);
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
    openFile(urls.first().toLocalFile());
    event->acceptProposedAction();
}
