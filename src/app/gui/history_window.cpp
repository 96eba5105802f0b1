#include "app/gui/history_window.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/desktidy_controller.h"
#include "app/gui/run_owner.h"
#include "app/gui/screen_fit.h"
#include "runs/run_history.h"
#include "runs/run_undo.h"

namespace {

enum Column { RunColumn, TimeColumn, KindColumn, MovedColumn, StateColumn, FolderColumn };

// The kinds by the keys their records hold, which never change. A kind missing here (one
// of a later version) shows under its title.
const struct {
    const char* key;
    const char* words;
} kindWords[] = {
    {"file", QT_TRANSLATE_NOOP("HistoryWindow", "Filing")},
    {"file-all", QT_TRANSLATE_NOOP("HistoryWindow", "Filing of every listed folder")},
    {"scheduled", QT_TRANSLATE_NOOP("HistoryWindow", "Scheduled filing")},
    {"archive", QT_TRANSLATE_NOOP("HistoryWindow", "Archiving")},
    {"unfile", QT_TRANSLATE_NOOP("HistoryWindow", "Unfiling")},
    {"unfile-all", QT_TRANSLATE_NOOP("HistoryWindow", "Unfiling of every listed folder")},
    {"rename", QT_TRANSLATE_NOOP("HistoryWindow", "Name change")},
    {"pack", QT_TRANSLATE_NOOP("HistoryWindow", "Packing")},
    {"unpack", QT_TRANSLATE_NOOP("HistoryWindow", "Unpacking")},
    {"remove-app", QT_TRANSLATE_NOOP("HistoryWindow", "Application removal")},
    {"empty-trash", QT_TRANSLATE_NOOP("HistoryWindow", "Trash emptying")},
    {"watch", QT_TRANSLATE_NOOP("HistoryWindow", "Filing on arrival")},
    {"restore", QT_TRANSLATE_NOOP("HistoryWindow", "Putting back from the Trash")},
};

QString kindInWords(const QByteArray& key) {
    for (const auto& kind : kindWords)
        if (key == kind.key) return HistoryWindow::tr(kind.words);
    return runKindTitle(key);
}

// Tells a row's run number, whatever its text shows.
constexpr int RunNumberRole = Qt::UserRole + 1;

}  // namespace

QString runInWords(const RunRecord& record, const RunHistory& history) {
    if (record.kind != "undo") return kindInWords(record.kind);
    const int undid = record.option("undoes").toInt();
    const std::optional<RunRecord> undone = undid > 0 ? history.readHead(undid) : std::nullopt;
    if (!undone) return HistoryWindow::tr("Undo of run %1").arg(undid);
    return HistoryWindow::tr("Undo of run %1 (%2)").arg(undid).arg(runInWords(*undone, history));
}

HistoryWindow::HistoryWindow(DesktidyController& controller, QWidget* parent)
    : QDialog(parent), controller_(controller), table_(new QTableWidget(this)) {
    setObjectName(QStringLiteral("historyWindow"));
    setWindowTitle(tr("History"));
    table_->setColumnCount(6);
    table_->setHorizontalHeaderLabels(
        {tr("Run"), tr("Time"), tr("Kind"), tr("Items Moved"), tr("State"), tr("Folder")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab goes on to Undo; a cell's text stays on one line, its column as wide as it needs.
    table_->setTabKeyNavigation(false);
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideMiddle);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    undoButton_ = new QPushButton(tr("&Undo"), this);
    undoButton_->setObjectName(QStringLiteral("undoButton"));
    connect(undoButton_, &QPushButton::clicked, this, &HistoryWindow::undoFocused);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &HistoryWindow::showWhetherUndoable);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(undoButton_, 0, Qt::AlignRight);
    resize(720, 360);
    showWhetherUndoable();
}

void HistoryWindow::reload() {
    const int focused = focusedRun();
    const RunHistory history = controller_.runHistory();
    QList<int> numbers = history.numbers();
    std::reverse(numbers.begin(), numbers.end());
    const QSignalBlocker block(table_->selectionModel());
    table_->setRowCount(0);
    const QLocale locale;
    int focusRow = 0;
    for (const int number : numbers) {
        const std::optional<RunRecord> record = history.read(number);
        if (!record) continue;
        const int row = table_->rowCount();
        table_->insertRow(row);
        if (number == focused) focusRow = row;
        const QString folder =
            record->folders.isEmpty() ? QString() : record->folders.first().display();
        const QStringList cells{
            QString::number(number),
            record->time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
            runInWords(*record, history),
            locale.toString(record->itemCount(controller_.services().files)),
            runStateName(history.stateOf(*record)),
            folder};
        for (int column = 0; column < cells.size(); ++column) {
            auto* cell = new QTableWidgetItem(cells.at(column));
            cell->setData(RunNumberRole, number);
            if (column == FolderColumn || column == KindColumn) cell->setToolTip(cells.at(column));
            table_->setItem(row, column, cell);
        }
        table_->item(row, MovedColumn)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int column = RunColumn; column < FolderColumn; ++column)
        table_->resizeColumnToContents(column);
    if (table_->rowCount() > 0)
        table_->selectionModel()->setCurrentIndex(
            table_->model()->index(focusRow, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    showWhetherUndoable();
}

int HistoryWindow::focusedRun() const {
    const QTableWidgetItem* cell = table_->currentItem();
    return cell ? cell->data(RunNumberRole).toInt() : 0;
}

void HistoryWindow::showWhetherUndoable() {
    const int number = focusedRun();
    const RunHistory history = controller_.runHistory();
    const std::optional<RunRecord> record =
        number > 0 ? history.read(number) : std::optional<RunRecord>();
    QString why;
    if (!record) {
        why = tr("Choose the run to undo.");
    } else if (whyNotUndoable(history, *record)) {
        switch (history.stateOf(*record)) {
            case RunState::Undone:
                why = tr("This run has been undone already.");
                break;
            case RunState::Running:
                why = tr("This run is still going.");
                break;
            default:
                why = tr("Copies and deletions cannot be undone.");
        }
    }
    undoButton_->setEnabled(why.isEmpty());
    undoButton_->setToolTip(why);
}

void HistoryWindow::undoFocused() {
    const int number = focusedRun();
    if (number <= 0) return;
    {
        const RunOwner owner(this);
        if (const std::optional<RunRecord> record = controller_.runHistory().read(number))
            (void)controller_.undoRun(*record);
    }
    reload();
    Q_EMIT commandFinished();
    // The keyboard comes back here from the run's questions and notices, so Escape closes
    // the window.
    raise();
    activateWindow();
    table_->setFocus();
}

void HistoryWindow::refreshUndoAction() {
    if (!undoAction_) return;
    const RunHistory history = controller_.runHistory();
    const std::optional<RunRecord> next = history.newestToUndo();
    if (next) {
        QString words = runInWords(*next, history);
        words[0] = words[0].toLower();
        undoAction_->setText(tr("&Undo %1").arg(words));
    } else {
        undoAction_->setText(tr("&Undo"));
    }
    undoAction_->setEnabled(next.has_value());
}

HistoryWindow* addEditMenu(QMainWindow* window, DesktidyController& controller) {
    auto* history = new HistoryWindow(controller, window);
    QMenuBar* bar = window->menuBar();
    auto* edit = new QMenu(QObject::tr("&Edit"), bar);
    const QList<QAction*> menus = bar->actions();
    bar->insertMenu(menus.size() > 1 ? menus.at(1) : nullptr, edit);

    QAction* undo = edit->addAction(QObject::tr("&Undo"));
    undo->setObjectName(QStringLiteral("undoAction"));
    undo->setShortcut(QKeySequence::Undo);
    history->undoAction_ = undo;
    QAction* show = edit->addAction(QObject::tr("&History..."));
    show->setObjectName(QStringLiteral("historyAction"));

    history->refreshUndoAction();
    QObject::connect(edit, &QMenu::aboutToShow, history, &HistoryWindow::refreshUndoAction);
    QObject::connect(undo, &QAction::triggered, history, [&controller, history] {
        {
            // Ctrl+Z may come from another window than the main one.
            const RunOwner owner(QApplication::activeWindow());
            if (const std::optional<RunRecord> next = controller.runToUndo())
                (void)controller.undoRun(*next);
        }
        history->refreshUndoAction();
        if (history->isVisible()) history->reload();
        Q_EMIT history->commandFinished();
    });
    QObject::connect(show, &QAction::triggered, history, [history] {
        history->reload();
        fitToScreen(history);
        history->show();
        history->raise();
        history->activateWindow();
    });
    return history;
}
