#include "app/gui/list_models.h"

#include "filing/filer.h"

ListTableModel::ListTableModel(QStringList* list, Column column, QObject* parent)
    : QAbstractTableModel(parent), list_(list), columns_{std::move(column)} {}

ListTableModel::ListTableModel(QList<PackRow>* rows, Column source, Column destination,
                               QObject* parent)
    : QAbstractTableModel(parent),
      list_(rows),
      columns_{std::move(source), std::move(destination)} {}

QString* ListTableModel::cellAt(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columns_.size())
        return nullptr;
    if (QStringList* const* texts = std::get_if<QStringList*>(&list_))
        return &(**texts)[index.row()];
    PackRow& row = (*std::get<QList<PackRow>*>(list_))[index.row()];
    return index.column() == 0 ? &row.source : &row.destination;
}

int ListTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return std::visit([](const auto* list) { return int(list->size()); }, list_);
}

int ListTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant ListTableModel::data(const QModelIndex& index, int role) const {
    const QString* cell = cellAt(index);
    if (cell && (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole))
        return *cell;
    return {};
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) return columns_.at(section).title;
    if (role == ColumnIdRole) return columns_.at(section).id;
    return {};
}

Qt::ItemFlags ListTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (cellAt(index) && columns_.at(index.column()).editing != Editing::Ignored)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ListTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    QString* cell = cellAt(index);
    if (!cell || role != Qt::EditRole) return false;
    const Editing editing = columns_.at(index.column()).editing;
    const QString text = value.toString();
    if (editing == Editing::Ignored ||
        (editing == Editing::FolderName && !isPlainFolderName(text.toUtf8())))
        return false;
    *cell = text;
    Q_EMIT dataChanged(index, index);
    return true;
}

void ListTableModel::showList(QStringList* list) {
    list_ = list;
    reload();
}

void ListTableModel::reload() {
    beginResetModel();
    endResetModel();
}
