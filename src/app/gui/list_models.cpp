#include "app/gui/list_models.h"

StringListModel::StringListModel(QStringList& list, const QString& title, Editing editing,
                                 QObject* parent)
    : QAbstractTableModel(parent), list_(list), title_(title), editing_(editing) {}

int StringListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(list_.size());
}

int StringListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

QVariant StringListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole)
        return list_.at(index.row());
    return {};
}

QVariant StringListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return title_;
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags StringListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (editing_ == Editing::NonEmpty) f |= Qt::ItemIsEditable;
    return f;
}

bool StringListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (editing_ != Editing::NonEmpty || role != Qt::EditRole || !index.isValid() ||
        index.row() >= list_.size())
        return false;
    const QString text = value.toString();
    if (text.isEmpty()) return false;
    list_[index.row()] = text;
    Q_EMIT dataChanged(index, index);
    return true;
}

void StringListModel::reload() {
    beginResetModel();
    endResetModel();
}

PackListModel::PackListModel(QStringList& from, QStringList& to, const QString& fromColumnId,
                             const QString& toColumnId, QObject* parent)
    : QAbstractTableModel(parent), from_(from), to_(to), fromColumnId_(fromColumnId),
      toColumnId_(toColumnId) {}

QStringList& PackListModel::listOf(int column) const { return column == 0 ? from_ : to_; }

int PackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(from_.size());
}

int PackListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant PackListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const QStringList& list = listOf(index.column());
    if (index.row() >= list.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole)
        return list.at(index.row());
    return {};
}

QVariant PackListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) return section == 0 ? tr("File or Folder") : tr("Copy Into");
    if (role == ColumnIdRole) return section == 0 ? fromColumnId_ : toColumnId_;
    return {};
}

Qt::ItemFlags PackListModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool PackListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    QStringList& list = listOf(index.column());
    if (index.row() >= list.size()) return false;
    list[index.row()] = value.toString();
    Q_EMIT dataChanged(index, index);
    return true;
}

void PackListModel::reload() {
    beginResetModel();
    endResetModel();
}
