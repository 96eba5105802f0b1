#include "app/gui/removal_panel.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include "app/desktidy_controller.h"
#include "app/gui/list_models.h"
#include "app/gui/screen_fit.h"

namespace {
enum Column { CheckColumn, IconColumn, PathColumn };
const QString columnIds[] = {QStringLiteral("delAppCheck"), QStringLiteral("delAppIcon"),
                             QStringLiteral("delAppPath")};
}  // namespace

DelAppModel::DelAppModel(const QList<DelAppRow>& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows), font1_(QStringLiteral("Helvetica"), 12) {}

int DelAppModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int DelAppModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant DelAppModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) return {};
    const DelAppRow& row = rows_.at(index.row());
    switch (index.column()) {
        case CheckColumn:
            if (role == Qt::CheckStateRole) return row.isChecked() ? Qt::Checked : Qt::Unchecked;
            break;
        case IconColumn:
            // The icon provider works on text; an item whose path is not UTF-8 gets the
            // icon of a plain file.
            if (role == Qt::DecorationRole) {
                if (const std::optional<QString> path = row.itemPath().toText())
                    return icons_.icon(QFileInfo(*path));
                return icons_.icon(QFileIconProvider::File);
            }
            break;
        case PathColumn:
            if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return row.delAppPath();
            if (role == Qt::FontRole) return font1_;
            break;
    }
    return {};
}

QVariant DelAppModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section > 2)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == ColumnIdRole) return columnIds[section];
    if (role == Qt::DisplayRole) return section == PathColumn ? tr("Item") : QString();
    return {};
}

void DelAppModel::reload() {
    beginResetModel();
    endResetModel();
}

RemovalPanel::RemovalPanel(DesktidyController& controller, QWidget* parent)
    : QDialog(parent),
      controller_(controller),
      model_(new DelAppModel(controller.appDisplayArray, this)) {
    setObjectName(QStringLiteral("delAppPanel"));
    setWindowTitle(tr("Remove an Application"));
    setModal(false);

    delAppTableView = new QTableView(this);
    delAppTableView->setObjectName(QStringLiteral("delAppTableView"));
    delAppTableView->setModel(model_);
    delAppTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    delAppTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    delAppTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    delAppTableView->verticalHeader()->hide();
    delAppTableView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    delAppTableView->verticalHeader()->setDefaultSectionSize(rowHeight);
    delAppTableView->setIconSize(QSize(32, 32));
    delAppTableView->horizontalHeader()->setSectionResizeMode(CheckColumn, QHeaderView::Fixed);
    delAppTableView->horizontalHeader()->setSectionResizeMode(IconColumn, QHeaderView::Fixed);
    delAppTableView->horizontalHeader()->resizeSection(CheckColumn, 32);
    delAppTableView->horizontalHeader()->resizeSection(IconColumn, 44);
    delAppTableView->horizontalHeader()->setStretchLastSection(true);
    delAppTableView->setWordWrap(false);
    delAppTableView->setTextElideMode(Qt::ElideMiddle);

    auto* hint = new QLabel(tr("Click a row to keep or remove its item. The checked items "
                               "are moved into the Trash folder \u201cDKT Deleted Apps\u201d."),
                            this);
    hint->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    moveButton = buttons->addButton(tr("&Move to Trash"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(delAppTableView, 1);
    layout->addWidget(buttons);
    resize(620, 420);

    // A click anywhere in a row switches that row's check box, as Space does the focused row.
    const auto toggle = [this](const QModelIndex& index) {
        controller_.clickedDelAppCheck(index.isValid() ? index.row() : -1);
        model_->reload();
        delAppTableView->setCurrentIndex(index);
        delAppTableView->selectRow(index.row());
    };
    connect(delAppTableView, &QTableView::clicked, this, toggle);
    auto* space =
        new QShortcut(Qt::Key_Space, delAppTableView, nullptr, nullptr, Qt::WidgetShortcut);
    connect(space, &QShortcut::activated, this,
            [this, toggle] { toggle(delAppTableView->currentIndex()); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        hide();                              // the panel closes before the closing notice
        (void)controller_.deleteAppFiles();  // the run has told the user how it ended
        model_->reload();
        Q_EMIT commandFinished();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void RemovalPanel::showList() {
    model_->reload();
    fitToScreen(this);
    show();
    raise();
    activateWindow();
}
