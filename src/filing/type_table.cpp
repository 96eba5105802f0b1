#include "filing/type_table.h"

#include <algorithm>

#include "platform/item_type.h"
#include "settings/settings.h"

QString entryType(const QString& entry) {
    const auto space =
        std::find_if(entry.begin(), entry.end(), [](QChar c) { return c.isSpace(); });
    return QString(entry.begin(), space - entry.begin());
}

QString typeEntry(const QString& type, const QString& description) {
    return type + QStringLiteral(" - ") + description;
}

QString filingItemType(const QString& name) {
    QString type = itemTypeOf(name);
    type.remove(u'\'');
    return type;
}

TypeTable::TypeTable(const Settings& settings) {
    for (int k = 1; k <= Settings::categoryCount; ++k) {
        for (const QString& entry : settings.types(Category(k))) {
            QString type = entryType(entry);
            if (type.size() < 2) continue;
            // An item type never holds a ".", so ".jpg" can only match as "." + "jpg".
            if (type.startsWith(u'.')) type.remove(0, 1);
            lowestCategory_.insert(type, std::min(k, lowestCategory_.value(type, k)));
        }
    }
}

int TypeTable::categoryOf(const QString& name) const {
    if (name.startsWith(u'.')) return noCategory;
    const QString type = filingItemType(name);
    if (type.size() < 2 || type == name) return noCategory;
    return lowestCategory_.value(type, noCategory);
}
