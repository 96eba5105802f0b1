#include "app/gui/folders_pane.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <algorithm>

#include "app/gui/list_models.h"
#include "settings/settings.h"
#include "settings/setup_form.h"

QTableView* makeListTable(QWidget* parent, const QString& objectName) {
    auto* table = new QTableView(parent);
    table->setObjectName(objectName);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideMiddle);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

QList<int> FoldersPane::selectedRows(const QTableView* table) {
    QList<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

namespace {
QPushButton* smallButton(const QString& text, const QString& tip, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("MMM")) + 8);
    return button;
}
}  // namespace

FoldersPane::FoldersPane(Settings& settings, SetupForm& form, QWidget* parent)
    : QWidget(parent), settings_(settings), form_(form) {
    folderTableView = makeListTable(this, QStringLiteral("folderTableView"));
    folderTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    fileTypeTableView = makeListTable(this, QStringLiteral("fileTypeTableView"));
    myFoldersTableView = makeListTable(this, QStringLiteral("myFoldersTableView"));

    using Editing = ListTableModel::Editing;
    auto oneColumn = [this](QStringList& list, const QString& title, Editing editing) {
        return new ListTableModel({{&list, title, QString(), editing}}, this);
    };
    folderNames_ = oneColumn(settings.fileFoldersArray, tr("Folder Name"), Editing::FolderName);
    types_ = oneColumn(settings.fileTypesArray, tr("Type - Description"), Editing::Ignored);
    folders_ = oneColumn(settings.myFoldersArray, tr("Folders to File"), Editing::Ignored);
    folderTableView->setModel(folderNames_);
    fileTypeTableView->setModel(types_);
    myFoldersTableView->setModel(folders_);

    addTypeButton = smallButton(QStringLiteral("+"), tr("Add a type"), this);
    delTypeButton = smallButton(QStringLiteral("\u2212"), tr("Delete the selected types"), this);
    addFolderButton = smallButton(QStringLiteral("+"), tr("Add folders"), this);
    delFolderButton =
        smallButton(QStringLiteral("\u2212"), tr("Delete the selected folders"), this);

    auto* typeButtons = new QHBoxLayout;
    typeButtons->addWidget(addTypeButton);
    typeButtons->addWidget(delTypeButton);
    typeButtons->addStretch();
    auto* folderButtons = new QHBoxLayout;
    folderButtons->addWidget(addFolderButton);
    folderButtons->addWidget(delFolderButton);
    folderButtons->addStretch();

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(tr("Categories (double-click to rename):"), this), 0, 0);
    layout->addWidget(new QLabel(tr("Types filed into the category:"), this), 0, 1);
    layout->addWidget(folderTableView, 1, 0);
    layout->addWidget(fileTypeTableView, 1, 1);
    layout->addLayout(typeButtons, 2, 1);
    layout->addWidget(new QLabel(tr("Folders filed by File All Stashery:"), this), 3, 0, 1, 2);
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

void FoldersPane::categoryChosen(int row) {
    form_.folderTableViewSelectedRow = row;
    setTypeArray(settings_, row);
    types_->reload();
}

void FoldersPane::refresh() {
    folderNames_->reload();
    folders_->reload();
    {
        const QSignalBlocker block(folderTableView->selectionModel());
        const int row = form_.folderTableViewSelectedRow;
        if (row >= 0 && row < folderNames_->rowCount())
            folderTableView->selectionModel()->setCurrentIndex(
                folderNames_->index(row, 0),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    types_->reload();
}
