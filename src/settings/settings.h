#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The in-memory mirror of every stored setting, under the names the rest of the program
// uses. Lists are edited here by their owners and reach the store at the next save.
struct Settings {
    QStringList fileFoldersArray;  // the archive folder, then the eight category folders
    QStringList myFoldersArray;    // folders filed and unfiled in one go

    // The type lists, one per category (see typeList for the index order).
    QStringList audioTypesArray;
    QStringList compressedTypesArray;
    QStringList dataTypesArray;
    QStringList imageTypesArray;
    QStringList layoutTypesArray;
    QStringList videoTypesArray;
    QStringList webTypesArray;
    QStringList wordsTypesArray;

    QStringList packFromArray, packToArray;
    QStringList unpackFromArray, unpackToArray;

    QString archMonth, archDay, archYear;
    QString pathString;
    int updatesState = 0;

    QString schedDateValue;
    int schedHour = 0;  // derived from schedDateValue at load, never stored
    int schedMin = 0;
    QList<int> schedDaysArray;  // all, Sunday ... Saturday
    int schedMonth = 0;
    int schedMday = 0;
    int setByDay = 0;
    int hoursStep = 2;
    int hoursState = 0;
    int packOverwrite = 0;
    int unpackOverwrite = 0;

    int reset = 0;  // set by a reset so that the next load takes the bundle defaults

    // The type list being edited: a copy of category foldersRow's list.
    QStringList fileTypesArray;
    int foldersRow = -1;

    static constexpr int categoryCount = 8;  // categories 1 to 8; 0 is the archive folder
    // The list of category 1 (audio) to 8 (words); nullptr for any other index.
    QStringList* typeList(int categoryIndex);
    const QStringList* typeList(int categoryIndex) const;
    // The settings key of a category's list ("audio" ... "words"); empty for others.
    static QString typeKey(int categoryIndex);
};

// The eight type-list keys in the order the store reads and writes them.
inline const QStringList typeKeysInStoreOrder = {
    QStringLiteral("web"),   QStringLiteral("compressed"), QStringLiteral("layout"),
    QStringLiteral("data"),  QStringLiteral("image"),      QStringLiteral("words"),
    QStringLiteral("video"), QStringLiteral("audio")};

// Loads fileTypesArray from the category at selectedRow: row 0 empties it, rows 1 to 8
// copy that category's list, anything else leaves it as it is.
void setTypeArray(Settings& settings, int selectedRow);
