#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <variant>

#include "settings/settings.h"

// The role under which a column answers its identifier ("packFromString", ...).
inline constexpr int ColumnIdRole = Qt::UserRole + 1;

// A table over a list of the settings being edited: a list of texts in one column, or
// pack rows in two. The model holds a pointer: the list is the truth, and reload() shows
// it again after a command.
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
        QString title;
        QString id;
        Editing editing;
    };

    ListTableModel(QStringList* list, Column column, QObject* parent = nullptr);
    // The source, then the destination.
    ListTableModel(QList<PackRow>* rows, Column source, Column destination,
                   QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Shows another list of texts, as the type table does for each category.
    void showList(QStringList* list);
    void reload();

  private:
    QString* cellAt(const QModelIndex& index) const;

    std::variant<QStringList*, QList<PackRow>*> list_;
    QList<Column> columns_;
};
