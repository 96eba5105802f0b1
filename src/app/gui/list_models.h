#pragma once

#include <QAbstractTableModel>
#include <QStringList>

// The tables of the Setup panel, each over a list that lives in the controller's
// Settings. The models hold references: the lists are the truth, and reload() shows them
// again after a command changed them.

// The role under which a column answers its identifier ("packFromString", ...).
inline constexpr int ColumnIdRole = Qt::UserRole + 1;

class StringListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Editing {
        Ignored,   // typing into a cell changes nothing
        NonEmpty,  // a non-empty text replaces the entry; the empty text is ignored
    };

    StringListModel(QStringList& list, const QString& title, Editing editing,
                    QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void reload();

private:
    QStringList& list_;
    QString title_;
    Editing editing_;
};

// A pack or unpack list: rows pair a source with a destination folder. The source column
// carries the identifier given (e.g. "packFromString"), the other shows the destination.
// Any text, the empty one included, replaces the entry of the column edited.
class PackListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    PackListModel(QStringList& from, QStringList& to, const QString& fromColumnId,
                  const QString& toColumnId, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void reload();

private:
    QStringList& listOf(int column) const;

    QStringList& from_;
    QStringList& to_;
    QString fromColumnId_, toColumnId_;
};
