#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "settings/settings.h"

// Category indexes: 0 is the archive folder, 1 to 8 the categories audio ... words.
inline constexpr int archiveIndex = 0;
inline constexpr int noCategory = 0;  // categoryOf's answer for an item that stays

// The type of an entry "jpg - JPEG image": the text before its first white space.
QString entryType(const QString& entry);
// An entry as the add-type panel builds it: type, " - ", description.
QString typeEntry(const QString& type, const QString& description);

// The type an entry matches, as filing reads it: the entry's type without a leading ".".
// An entry whose matched type is shorter than 2 characters, or holds a "." (an item's type
// is what follows the last "." of its name), never matches: why, or empty when it can.
QString matchedType(const QString& type);
QString whyTypeNeverMatches(const QString& type);

// The category an item of this type (an extension, with or without its ".") files into,
// as filing decides: the lowest category whose list holds it. Nullopt for none.
std::optional<Category> categoryOfType(const Settings& settings, const QString& type);

// The categories other than category whose lists hold type (as filing matches it): where
// adding it to category would not decide on its own where such items go.
QList<Category> otherCategoriesListing(const Settings& settings, Category category,
                                       const QString& type);

// The type filing sees for an item: the extension as written in its name, apostrophes
// removed; empty when the name has none.
QByteArray filingItemType(QByteArrayView name);

// Which category an item belongs to. Built once from the eight type lists (their UTF-8
// bytes), so each item costs one hash lookup of its name's bytes however long the lists
// are, and no name is decoded. Matches exactly as the lists read
// in category order would: an entry matches when its type equals the item type or "."
// followed by it, entries and item types shorter than 2 never match, hidden names are
// never given a category, and the lowest category index wins.
class TypeTable {
  public:
    explicit TypeTable(const Settings& settings);

    // 1 to 8, or noCategory.
    int categoryOf(QByteArrayView name) const;

  private:
    QHash<QByteArray, int> lowestCategory_;  // item type -> category index
};
