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

QByteArray filingItemType(QByteArrayView name) {
    QByteArray type = itemTypeOf(name).toByteArray();
    type.replace('\'', QByteArrayView());
    return type;
}

TypeTable::TypeTable(const Settings& settings) {
    for (int k = 1; k <= Settings::categoryCount; ++k) {
        for (const QString& entry : settings.types(Category(k))) {
            QString type = entryType(entry);
            if (type.size() < 2) continue;
            // An item type never holds a ".", so ".jpg" can only match as "." + "jpg".
            if (type.startsWith(u'.')) type.remove(0, 1);
            const QByteArray key = type.toUtf8();
            lowestCategory_.insert(key, std::min(k, lowestCategory_.value(key, k)));
        }
    }
}

int TypeTable::categoryOf(QByteArrayView name) const {
    if (name.startsWith('.')) return noCategory;
    // Types shorter than 2 characters are not in the table, so they find nothing. Most
    // types hold no apostrophe and are looked up where they are, without a copy.
    const QByteArrayView type = itemTypeOf(name);
    if (type.contains('\'')) return lowestCategory_.value(filingItemType(name), noCategory);
    return lowestCategory_.value(QByteArray::fromRawData(type.data(), type.size()), noCategory);
}
