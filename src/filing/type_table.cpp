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

QString matchedType(const QString& type) {
    // An item type never holds a ".", so ".jpg" can only match as "." + "jpg".
    return type.startsWith(u'.') ? type.mid(1) : type;
}

QString whyTypeNeverMatches(const QString& type) {
    const QString matched = matchedType(type);
    if (matched.size() < 2)
        return QStringLiteral("filing reads only types of two characters or more");
    if (matched.contains(u'.'))
        return QStringLiteral("an item's type is what follows the last \u201c.\u201d of its name");
    return QString();
}

std::optional<Category> categoryOfType(const Settings& settings, const QString& type) {
    if (!whyTypeNeverMatches(type).isEmpty()) return std::nullopt;
    const int index = TypeTable(settings).categoryOf("x." + matchedType(type).toUtf8());
    if (index == noCategory) return std::nullopt;
    return Category(index);
}

QList<Category> otherCategoriesListing(const Settings& settings, Category category,
                                       const QString& type) {
    QList<Category> others;
    for (Category each : allCategories) {
        if (each == category) continue;
        for (const QString& entry : settings.types(each))
            if (matchedType(entryType(entry)) == matchedType(type)) {
                others << each;
                break;
            }
    }
    return others;
}

TypeTable::TypeTable(const Settings& settings) {
    for (int k = 1; k <= Settings::categoryCount; ++k) {
        for (const QString& entry : settings.types(Category(k))) {
            const QString type = matchedType(entryType(entry));
            if (type.size() < 2) continue;
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
