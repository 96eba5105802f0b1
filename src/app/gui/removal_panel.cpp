#include "app/gui/removal_panel.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
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

DelAppModel::DelAppModel(const RemovalChecklist& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows) {}

int DelAppModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int DelAppModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant DelAppModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) return {};
    const DelAppRow& row = rows_.row(index.row());
    switch (index.column()) {
        case CheckColumn:
            if (role == Qt::CheckStateRole)
                return rows_.isChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
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
            // A row that only may be related says so after the item's name and size.
            if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
                if (!row.mayBeRelated()) return row.label();
                QString label = row.label();
                const qsizetype end = label.indexOf(u'\n');
                return label.insert(end < 0 ? label.size() : end, tr("  (may be related)"));
            }
            // The desktop's font, as in every other window; only italic is set here.
            if (role == Qt::FontRole && row.mayBeRelated()) {
                QFont italic;
                italic.setItalic(true);
                return italic;
            }
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

Qt::ItemFlags DelAppModel::flags(const QModelIndex& index) const {
    // Selectable all the same, so that the keyboard can pass through it.
    if (index.isValid() && rows_.followsFolder(index.row())) return Qt::ItemIsSelectable;
    return QAbstractTableModel::flags(index);
}

void DelAppModel::reload() {
    beginResetModel();
    endResetModel();
}

RemovalPanel::RemovalPanel(DesktidyController& controller, QWidget* parent)
    : QDialog(parent), controller_(controller), model_(new DelAppModel(checklist_, this)) {
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
    delAppTableView->setTabKeyNavigation(false);  // Tab goes on to the buttons
    delAppTableView->setTextElideMode(Qt::ElideMiddle);

    auto* hint = new QLabel(tr("Click a row, or press Space on it, to keep or remove its item. "
                               "An item inside a checked folder goes with the folder. An item "
                               "whose name only holds the application's name starts unchecked, "
                               "marked \u201cmay be related\u201d. The checked items are moved "
                               "into the Trash folder \u201cDKT Deleted Apps\u201d."),
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

    // A click anywhere in a row switches that row's check box; Space the focused row's.
    connect(delAppTableView, &QTableView::clicked, this,
            [this](const QModelIndex& index) { toggle(index.isValid() ? index.row() : -1); });
    delAppTableView->installEventFilter(this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        hide();                                     // the panel closes before the closing notice
        (void)controller_.moveToTrash(checklist_);  // the run has told the user how it ended
        model_->reload();
        Q_EMIT commandFinished();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void RemovalPanel::toggle(int row) {
    if (row < 0) return;
    checklist_.toggle(row);
    model_->reload();
    delAppTableView->selectRow(row);
}

bool RemovalPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == delAppTableView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        toggle(delAppTableView->currentIndex().isValid() ? delAppTableView->currentIndex().row()
                                                         : -1);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void RemovalPanel::showList(RemovalChecklist checklist) {
    checklist_ = std::move(checklist);
    model_->reload();
    fitToScreen(this);
    show();
    raise();
    activateWindow();
}
