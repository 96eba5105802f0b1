#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The role under which a column answers its identifier ("packFromString", ...).
inline constexpr int ColumnIdRole = Qt::UserRole + 1;

// A table over lists that live in the controller's Settings: one list per column, row i
// showing entry i of each, and the first list giving the row count. The model holds
// pointers: the lists are the truth, and reload() shows them again after a command.
class ListTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum class Editing {
        Ignored,  // typing into a cell changes nothing
        // A folder name replaces the entry; the empty text, "." and ".." and a name
        // with "/" in it are ignored, as they name no folder inside the filed one.
        FolderName,
        AnyText,  // any text, the empty one included, replaces the entry
    };
    struct Column {
        QStringList* list;
        QString title;
        QString id;
        Editing editing;
    };

    explicit ListTableModel(QList<Column> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void reload();

  private:
    const Column* columnAt(const QModelIndex& index) const;

    QList<Column> columns_;
};
