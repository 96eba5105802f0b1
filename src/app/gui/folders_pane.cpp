#include "app/gui/folders_pane.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableView>
#include <algorithm>

#include "app/desktidy_controller.h"
#include "app/gui/list_models.h"

QTableView* makeListTable(QWidget* parent, const QString& objectName) {
    auto* table = new QTableView(parent);
    table->setObjectName(objectName);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideMiddle);
    // Tab goes on to the next control; the arrow keys walk the rows.
    table->setTabKeyNavigation(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

void clickOnKey(QAbstractItemView* table, const QKeySequence& key, QAbstractButton* button) {
    // Only while the table itself has the focus: in a cell being edited the key edits.
    auto* shortcut = new QShortcut(key, table, nullptr, nullptr, Qt::WidgetShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
    const QString keyName = key.toString(QKeySequence::NativeText);
    button->setToolTip(button->toolTip().isEmpty()
                           ? keyName
                           : QObject::tr("%1 (%2)").arg(button->toolTip(), keyName));
}

void tabInOrder(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

QList<int> FoldersPane::selectedRows(const QTableView* table) {
    QList<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QLabel* buddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

namespace {
QPushButton* smallButton(const QString& text, const QString& tip, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("MMM")) + 8);
    return button;
}
}  // namespace

FoldersPane::FoldersPane(DesktidyController& controller, QWidget* parent)
    : QWidget(parent), controller_(controller) {
    folderTableView = makeListTable(this, QStringLiteral("folderTableView"));
    folderTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    fileTypeTableView = makeListTable(this, QStringLiteral("fileTypeTableView"));
    myFoldersTableView = makeListTable(this, QStringLiteral("myFoldersTableView"));

    using Editing = ListTableModel::Editing;
    Settings& draft = controller.draft();
    folderNames_ = new ListTableModel(&draft.folderNames,
                                      {tr("Folder Name"), QString(), Editing::FolderName}, this);
    types_ = new ListTableModel(shownTypes(),
                                {tr("Type - Description"), QString(), Editing::Ignored}, this);
    folders_ = new ListTableModel(&draft.listedFolders,
                                  {tr("Folders to File"), QString(), Editing::Ignored}, this);
    folderTableView->setModel(folderNames_);
    fileTypeTableView->setModel(types_);
    myFoldersTableView->setModel(folders_);

    addTypeButton = smallButton(QStringLiteral("+"), tr("Add a type"), this);
    delTypeButton = smallButton(QStringLiteral("\u2212"), tr("Delete the selected types"), this);
    addFolderButton = smallButton(QStringLiteral("+"), tr("Add folders"), this);
    delFolderButton =
        smallButton(QStringLiteral("\u2212"), tr("Delete the selected folders"), this);

    clickOnInsertKey(fileTypeTableView, addTypeButton);
    clickOnDeleteKey(fileTypeTableView, delTypeButton);
    clickOnInsertKey(myFoldersTableView, addFolderButton);
    clickOnDeleteKey(myFoldersTableView, delFolderButton);
    // Tab in reading order: each list, then its buttons.
    tabInOrder({folderTableView, fileTypeTableView, addTypeButton, delTypeButton,
                myFoldersTableView, addFolderButton, delFolderButton});

    auto* typeButtons = new QHBoxLayout;
    typeButtons->addWidget(addTypeButton);
    typeButtons->addWidget(delTypeButton);
    typeButtons->addStretch();
    auto* folderButtons = new QHBoxLayout;
    folderButtons->addWidget(addFolderButton);
    folderButtons->addWidget(delFolderButton);
    folderButtons->addStretch();

    auto* layout = new QGridLayout(this);
    layout->addWidget(buddyLabel(tr("&Categories (double-click to rename):"), folderTableView), 0,
                      0);
    layout->addWidget(buddyLabel(tr("T&ypes filed into the category:"), fileTypeTableView), 0, 1);
    layout->addWidget(folderTableView, 1, 0);
    layout->addWidget(fileTypeTableView, 1, 1);
    layout->addLayout(typeButtons, 2, 1);
    layout->addWidget(buddyLabel(tr("&Folders filed by File All Stashery:"), myFoldersTableView), 3,
                      0, 1, 2);
    layout->addWidget(myFoldersTableView, 4, 0, 1, 2);
    layout->addLayout(folderButtons, 5, 0, 1, 2);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 3);
    layout->setRowStretch(1, 3);
    layout->setRowStretch(4, 2);

    connect(folderTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] {
                const QList<int> rows = selectedRows(folderTableView);
                categoryChosen(rows.isEmpty() ? -1 : rows.first());
            });
    refresh();
}

QStringList* FoldersPane::shownTypes() {
    const std::optional<Category> category = categoryAt(controller_.shownCategoryRow());
    return category ? &controller_.draft().types(*category) : &noTypes_;
}

void FoldersPane::categoryChosen(int row) {
    controller_.showCategoryRow(row);
    types_->showList(shownTypes());
}

void FoldersPane::refresh() {
    folderNames_->reload();
    folders_->reload();
    {
        const QSignalBlocker block(folderTableView->selectionModel());
        const int row = controller_.shownCategoryRow();
        if (row >= 0 && row < folderNames_->rowCount())
            folderTableView->selectionModel()->setCurrentIndex(
                folderNames_->index(row, 0),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    types_->showList(shownTypes());
}
