#include "app/gui/trash_panel.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/gui/folders_pane.h"
#include "app/gui/screen_fit.h"

namespace {
// Where an entry's path is kept on its row.
constexpr int EntryRole = Qt::UserRole + 1;
}  // namespace

TrashPanel::TrashPanel(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("trashPanel"));
    setWindowTitle(tr("Empty Some of the Trash"));

    trashTableView = new QTreeWidget(this);
    trashTableView->setObjectName(QStringLiteral("trashTableView"));
    trashTableView->setRootIsDecorated(false);
    trashTableView->setUniformRowHeights(true);
    trashTableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    trashTableView->setTextElideMode(Qt::ElideMiddle);
    trashTableView->setHeaderLabels(
        {tr("Name"), tr("Original Place"), tr("Date Deleted"), tr("Size")});
    trashTableView->header()->setStretchLastSection(false);
    trashTableView->header()->setSectionResizeMode(PlaceColumn, QHeaderView::Stretch);
    trashTableView->header()->resizeSection(NameColumn, 200);

    auto* hint = new QLabel(tr("Select the &items to delete for good, newest first:"), this);
    hint->setBuddy(trashTableView);
    auto* buttons = new QDialogButtonBox(this);
    deleteButton = buttons->addButton(tr("&Delete Selected Items"), QDialogButtonBox::AcceptRole);
    putBackButton = buttons->addButton(tr("&Put Back"), QDialogButtonBox::ActionRole);
    putBackButton->setObjectName(QStringLiteral("putBackButton"));
    putBackButton->setToolTip(tr("Put the selected items back where they came from"));
    buttons->addButton(QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(trashTableView, 1);
    layout->addWidget(buttons);
    resize(720, 400);

    deleteButton->setToolTip(tr("Delete the selected items for good"));
    clickOnDeleteKey(trashTableView, deleteButton);
    connect(buttons, &QDialogButtonBox::accepted, this, &TrashPanel::confirm);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(putBackButton, &QPushButton::clicked, this,
            [this] { Q_EMIT itemsToPutBack(selectedPaths()); });
}

void TrashPanel::showItems(const QList<TrashEntry>& entries) {
    entries_ = entries;
    trashTableView->clear();
    const QLocale locale;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const TrashEntry& e = entries.at(i);
        auto* row = new QTreeWidgetItem(trashTableView);
        row->setText(NameColumn, displayName(e.path.fileName()));
        row->setData(NameColumn, EntryRole, int(i));
        if (!e.originalPath.isEmpty()) {
            row->setText(PlaceColumn, e.originalPath.parent().display());
            row->setToolTip(PlaceColumn, e.originalPath.display());
        }
        if (e.deletionDate.isValid())
            row->setText(DateColumn, locale.toString(e.deletionDate, QLocale::ShortFormat));
        row->setText(SizeColumn, e.sizeLabel);
        row->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int column : {DateColumn, SizeColumn}) trashTableView->resizeColumnToContents(column);
    trashTableView->setFocus();
    fitToScreen(this);
    show();
    raise();
    activateWindow();
}

QList<Path> TrashPanel::selectedPaths() const {
    QList<Path> chosen;
    // In the listed order, whatever order the rows were selected in.
    for (int i = 0; i < trashTableView->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = trashTableView->topLevelItem(i);
        if (row->isSelected())
            chosen.append(entries_.at(row->data(NameColumn, EntryRole).toInt()).path);
    }
    return chosen;
}

void TrashPanel::confirm() {
    const QList<Path> chosen = selectedPaths();
    Q_EMIT itemsChosen(chosen);
}
