#include "app/gui/list_models.h"

#include "filing/filer.h"

ListTableModel::ListTableModel(QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

const ListTableModel::Column* ListTableModel::columnAt(const QModelIndex& index) const {
    if (!index.isValid() || index.column() >= columns_.size()) return nullptr;
    const Column& column = columns_.at(index.column());
    return index.row() < column.list->size() ? &column : nullptr;
}

int ListTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || columns_.isEmpty() ? 0 : int(columns_.first().list->size());
}

int ListTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant ListTableModel::data(const QModelIndex& index, int role) const {
    const Column* column = columnAt(index);
    if (column && (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole))
        return column->list->at(index.row());
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
    const Column* column = columnAt(index);
    if (column && column->editing != Editing::Ignored) f |= Qt::ItemIsEditable;
    return f;
}

bool ListTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const Column* column = columnAt(index);
    if (!column || role != Qt::EditRole || column->editing == Editing::Ignored) return false;
    const QString text = value.toString();
    if (column->editing == Editing::FolderName && !isPlainFolderName(text.toUtf8())) return false;
    (*column->list)[index.row()] = text;
    Q_EMIT dataChanged(index, index);
    return true;
}

void ListTableModel::reload() {
    beginResetModel();
    endResetModel();
}
