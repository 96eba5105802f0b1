#include "app/gui/pack_pane.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "app/gui/folders_pane.h"
#include "app/gui/list_models.h"
#include "app/gui/window_state_store.h"
#include "settings/settings.h"

namespace {

QTableView* pairTable(QWidget* parent, const QString& name, ListTableModel* model) {
    QTableView* table = makeListTable(parent, name);
    table->setModel(model);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->horizontalHeader()->resizeSection(0, 280);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    return table;
}

}  // namespace

PackPane::PackPane(Settings& draft, QWidget* parent) : QWidget(parent), draft_(draft) {
    // A row pairs a source with the folder it is copied into; either may be edited.
    auto pairModel = [this](QList<PackRow>& rows, const QString& fromId, const QString& toId) {
        using Editing = ListTableModel::Editing;
        return new ListTableModel(&rows, {tr("File or Folder"), fromId, Editing::AnyText},
                                  {tr("Copy Into"), toId, Editing::AnyText}, this);
    };
    pack_ =
        pairModel(draft.packRows, QStringLiteral("packFromString"), QStringLiteral("packToString"));
    unpack_ = pairModel(draft.unpackRows, QStringLiteral("unpackFromString"),
                        QStringLiteral("unpackToString"));
    packTableView = pairTable(this, QStringLiteral("packTableView"), pack_);
    unpackTableView = pairTable(this, QStringLiteral("unpackTableView"), unpack_);

    addPackButton = new QPushButton(tr("&Add..."), this);
    delPackButton = new QPushButton(tr("D&elete"), this);
    addUnpackButton = new QPushButton(tr("A&dd..."), this);
    delUnpackButton = new QPushButton(tr("De&lete"), this);
    reverseButton = new QPushButton(tr("&Make Unpack List from Pack List"), this);
    clearButton = new QPushButton(tr("&Clear Both Lists"), this);
    packOverwriteCheck = new QCheckBox(tr("Replace existing items without as&king"), this);
    unpackOverwriteCheck = new QCheckBox(tr("Replace existing items &without asking"), this);
    for (QPushButton* add : {addPackButton, addUnpackButton}) add->setToolTip(tr("Add a row"));
    for (QPushButton* del : {delPackButton, delUnpackButton})
        del->setToolTip(tr("Delete the selected rows"));
    clickOnInsertKey(packTableView, addPackButton);
    clickOnDeleteKey(packTableView, delPackButton);
    clickOnInsertKey(unpackTableView, addUnpackButton);
    clickOnDeleteKey(unpackTableView, delUnpackButton);
    // Tab in reading order: each list, then the controls below it.
    tabInOrder({packTableView, addPackButton, delPackButton, packOverwriteCheck, unpackTableView,
                addUnpackButton, delUnpackButton, unpackOverwriteCheck, reverseButton,
                clearButton});

    auto row = [this](QPushButton* add, QPushButton* del, QCheckBox* check) {
        auto* line = new QHBoxLayout;
        line->addWidget(add);
        line->addWidget(del);
        line->addStretch();
        line->addWidget(check);
        return line;
    };
    auto* shared = new QHBoxLayout;
    shared->addWidget(reverseButton);
    shared->addWidget(clearButton);
    shared->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        buddyLabel(tr("&Pack: copy these files and folders for the road"), packTableView));
    layout->addWidget(packTableView, 1);
    layout->addLayout(row(addPackButton, delPackButton, packOverwriteCheck));
    layout->addSpacing(6);
    layout->addWidget(buddyLabel(tr("&Unpack: copy these back home"), unpackTableView));
    layout->addWidget(unpackTableView, 1);
    layout->addLayout(row(addUnpackButton, delUnpackButton, unpackOverwriteCheck));
    layout->addSpacing(6);
    layout->addLayout(shared);

    connect(packOverwriteCheck, &QCheckBox::toggled, this,
            [this](bool on) { draft_.packOverwrite = on; });
    connect(unpackOverwriteCheck, &QCheckBox::toggled, this,
            [this](bool on) { draft_.unpackOverwrite = on; });
    refresh();
}

void PackPane::refresh() {
    pack_->reload();
    unpack_->reload();
    const QSignalBlocker a(packOverwriteCheck), b(unpackOverwriteCheck);
    packOverwriteCheck->setChecked(draft_.packOverwrite);
    unpackOverwriteCheck->setChecked(draft_.unpackOverwrite);
}

void PackPane::restoreColumns(const WindowStateStore& state) {
    state.restoreColumns(QStringLiteral("packTableView"), packTableView->horizontalHeader());
    state.restoreColumns(QStringLiteral("unpackTableView"), unpackTableView->horizontalHeader());
}

void PackPane::saveColumns(WindowStateStore& state) const {
    state.saveColumns(QStringLiteral("packTableView"), packTableView->horizontalHeader());
    state.saveColumns(QStringLiteral("unpackTableView"), unpackTableView->horizontalHeader());
}
