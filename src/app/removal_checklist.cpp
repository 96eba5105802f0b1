#include "app/removal_checklist.h"

RemovalChecklist::RemovalChecklist(RemovalList list) : list_(std::move(list)) {
    const QList<DelAppRow>& rows = list_.rows;
    for (const DelAppRow& row : rows) {
        checked_.append(row.isChecked());
        QList<qsizetype> folders;
        for (qsizetype f = 0; f < rows.size(); ++f)
            if (list_.folders.contains(rows[f].itemPath()) &&
                row.itemPath().cleaned().isBelow(rows[f].itemPath().cleaned()))
                folders.append(f);
        folders_.append(folders);
    }
}

bool RemovalChecklist::followsFolder(qsizetype row) const {
    if (row < 0 || row >= size()) return false;
    for (qsizetype folder : folders_[row])
        if (checked_[folder]) return true;
    return false;
}

bool RemovalChecklist::isChecked(qsizetype row) const {
    return row >= 0 && row < size() && (checked_[row] || followsFolder(row));
}

bool RemovalChecklist::setChecked(qsizetype row, bool on) {
    if (row < 0 || row >= size() || followsFolder(row)) return false;
    checked_[row] = on;
    if (!on)
        for (qsizetype inner = 0; inner < size(); ++inner)
            if (folders_[inner].contains(row)) checked_[inner] = false;
    return true;
}

RemovalList RemovalChecklist::toMove() const {
    RemovalList moved = list_;
    for (qsizetype row = 0; row < size(); ++row)
        moved.rows[row].setChecked(checked_[row] && !followsFolder(row));
    return moved;
}
