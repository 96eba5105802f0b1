#include "app/gui/history_window.h"

#include <QAction>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/desktidy_controller.h"
#include "runs/run_history.h"

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
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    auto* undo = new QPushButton(tr("&Undo"), this);
    undo->setObjectName(QStringLiteral("undoButton"));
    connect(undo, &QPushButton::clicked, this, &HistoryWindow::undoSelected);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(undo, 0, Qt::AlignRight);
    resize(720, 360);
}

void HistoryWindow::reload() {
    const RunHistory history = controller_.runHistory();
    QList<int> numbers = history.numbers();
    std::reverse(numbers.begin(), numbers.end());
    table_->setRowCount(0);
    for (const int number : numbers) {
        const std::optional<RunRecord> record = history.read(number);
        if (!record) continue;
        const int row = table_->rowCount();
        table_->insertRow(row);
        const QString folder =
            record->folders.isEmpty() ? QString() : record->folders.first().display();
        const QStringList cells{
            QString::number(number),
            record->time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
            runKindTitle(record->kind),
            QString::number(record->itemCount(controller_.services().files)),
            runStateName(history.stateOf(*record)),
            folder};
        for (int column = 0; column < cells.size(); ++column)
            table_->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
}

void HistoryWindow::undoSelected() {
    const QList<QTableWidgetItem*> selected = table_->selectedItems();
    if (selected.isEmpty()) return;
    const int number = table_->item(selected.first()->row(), 0)->text().toInt();
    if (const std::optional<RunRecord> record = controller_.runHistory().read(number))
        (void)controller_.undoRun(*record);
    reload();
    Q_EMIT commandFinished();
}

void HistoryWindow::refreshUndoAction() {
    if (!undoAction_) return;
    const std::optional<RunRecord> next = controller_.runToUndo();
    undoAction_->setText(next ? tr("&Undo %1").arg(runKindTitle(next->kind)) : tr("&Undo"));
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
        if (const std::optional<RunRecord> next = controller.runToUndo())
            (void)controller.undoRun(*next);
        history->refreshUndoAction();
        Q_EMIT history->commandFinished();
    });
    QObject::connect(show, &QAction::triggered, history, [history] {
        history->reload();
        history->show();
        history->raise();
    });
    return history;
}
