#include "settings/settings_keys.h"

#include <algorithm>
#include <array>
#include <optional>

#include "platform/text.h"
#include "platform/user_environment.h"
#include "settings/settings_store.h"

namespace {

// The values a hand-edited file may hold, read strictly: a value of another kind is
// nullopt, and its key is set aside rather than read into something it never meant.

// A list: QSettings writes an empty one as @Invalid(), one entry as a bare text.
std::optional<QStringList> listValue(const QVariant& v) {
    if (!v.isValid()) return QStringList();
    switch (v.typeId()) {
        case QMetaType::QString:
            return v.toString().isEmpty() ? QStringList() : QStringList{v.toString()};
        case QMetaType::QStringList:
            return v.toStringList();
        case QMetaType::QVariantList: {
            QStringList list;
            for (const QVariant& entry : v.toList()) {
                if (entry.typeId() != QMetaType::QString) return std::nullopt;
                list.append(entry.toString());
            }
            return list;
        }
        default:
            return std::nullopt;
    }
}

std::optional<QString> textValue(const QVariant& v) {
    if (v.typeId() != QMetaType::QString) return std::nullopt;
    return v.toString();
}

std::optional<int> integerValue(const QVariant& v) {
    bool ok = false;
    int n = 0;
    switch (v.typeId()) {
        case QMetaType::QString:
            n = v.toString().trimmed().toInt(&ok);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            n = v.toInt(&ok);
            break;
        default:
            break;
    }
    return ok ? std::optional(n) : std::nullopt;
}

std::optional<int> integerValueIn(const QVariant& v, int first, int last) {
    const std::optional<int> n = integerValue(v);
    return n && *n >= first && *n <= last ? n : std::nullopt;
}

// QSettings writes a one-element list as its element alone, so a list holding one empty
// text would come back as no list at all. Qt's variant form keeps it a list; every other
// list is written as before.
QVariant storableList(const QStringList& list) {
    if (list.size() == 1 && list.first().isEmpty()) return QVariantList{QString()};
    return list;
}

// On/off values are stored as the integers 1 and 0.
QVariant storableFlag(bool on) { return on ? 1 : 0; }

// Nine non-empty names, or nothing usable: later code indexes the list 0 to 8.
bool isUsableFolderList(const QStringList& folders) {
    return folders.size() == 9 && std::none_of(folders.begin(), folders.end(),
                                               [](const QString& s) { return s.isEmpty(); });
}

SettingsKey listKey(const char* name, QStringList Settings::*list) {
    return {QString::fromLatin1(name), [list](const Settings& s) { return storableList(s.*list); },
            [list](Settings& s, const QVariant& v, const LoadContext&) {
                const std::optional<QStringList> read = listValue(v);
                if (read) s.*list = *read;
                return read.has_value();
            },
            [list](Settings& s, const LoadContext&) { (s.*list).clear(); }};
}

// A missing type list is none the user chose: the bundle's list stands in for it.
SettingsKey typeListKey(Category category) {
    return {categoryKey(category),
            [category](const Settings& s) { return storableList(s.types(category)); },
            [category](Settings& s, const QVariant& v, const LoadContext&) {
                const std::optional<QStringList> read = listValue(v);
                if (read) s.types(category) = *read;
                return read.has_value();
            },
            [category](Settings& s, const LoadContext& context) {
                s.types(category) = bundleList(context.myDefaults, categoryKey(category));
            }};
}

// One side of a pack list. A file edited by hand may leave one side longer: the rows
// are padded with empty cells rather than lost, and the copy run reports them.
SettingsKey packColumnKey(const char* name, QList<PackRow> Settings::*rows,
                          QString PackRow::*cell) {
    return {QString::fromLatin1(name),
            [rows, cell](const Settings& s) {
                QStringList column;
                for (const PackRow& row : s.*rows) column.append(row.*cell);
                return storableList(column);
            },
            [rows, cell](Settings& s, const QVariant& v, const LoadContext&) {
                const std::optional<QStringList> column = listValue(v);
                if (!column) return false;
                QList<PackRow>& list = s.*rows;
                if (list.size() < column->size()) list.resize(column->size());
                for (qsizetype i = 0; i < column->size(); ++i) list[i].*cell = column->at(i);
                return true;
            }};
}

// A text missing from a file written by hand keeps its first-start value.
SettingsKey archiveTitleKey(const char* name, QString ArchiveDate::*title) {
    return {QString::fromLatin1(name),
            [title](const Settings& s) { return QVariant(s.archiveDate.*title); },
            [title](Settings& s, const QVariant& v, const LoadContext&) {
                const std::optional<QString> text = textValue(v);
                if (text) s.archiveDate.*title = *text;
                return text.has_value();
            },
            [title](Settings& s, const LoadContext&) {
                s.archiveDate.*title = QStringLiteral("None");
            }};
}

// For these keys 0 means "not set": a stored 0 leaves the value as it is.
SettingsKey flagUnlessZeroKey(const char* name, bool Settings::*flag) {
    return {QString::fromLatin1(name), [flag](const Settings& s) { return storableFlag(s.*flag); },
            [flag](Settings& s, const QVariant& v, const LoadContext&) {
                const std::optional<int> n = integerValue(v);
                if (n && *n != 0) s.*flag = true;
                return n.has_value();
            }};
}

// A number of the schedule from 0 to last: 0 ("All", or "not set") leaves the value as
// it is.
SettingsKey scheduleNumberKey(const char* name, int Schedule::*number, int last) {
    return {QString::fromLatin1(name),
            [number](const Settings& s) { return QVariant(s.schedule.*number); },
            [number, last](Settings& s, const QVariant& v, const LoadContext&) {
                const std::optional<int> n = integerValueIn(v, 0, last);
                if (n && *n != 0) s.schedule.*number = *n;
                return n.has_value();
            }};
}

}  // namespace

QStringList bundleList(const QVariantMap& myDefaults, const QString& key) {
    return listValue(myDefaults.value(key)).value_or(QStringList());
}

const QList<SettingsKey>& settingsKeys() {
    static const QList<SettingsKey> table = {
        {QStringLiteral("folders"), [](const Settings& s) { return storableList(s.folderNames); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             const std::optional<QStringList> names = listValue(v);
             if (!names || !isUsableFolderList(*names)) return false;
             s.folderNames = *names;
             return true;
         },
         [](Settings& s, const LoadContext& context) {
             s.folderNames = bundleList(context.myDefaults, QStringLiteral("folders"));
         }},
        listKey("myfolders", &Settings::listedFolders),
        typeListKey(Category::Web),
        typeListKey(Category::Compressed),
        typeListKey(Category::Layout),
        typeListKey(Category::Data),
        typeListKey(Category::Image),
        typeListKey(Category::Words),
        typeListKey(Category::Video),
        typeListKey(Category::Audio),
        packColumnKey("packFrom", &Settings::packRows, &PackRow::source),
        packColumnKey("packTo", &Settings::packRows, &PackRow::destination),
        packColumnKey("unpackFrom", &Settings::unpackRows, &PackRow::source),
        packColumnKey("unpackTo", &Settings::unpackRows, &PackRow::destination),
        archiveTitleKey("archMonth", &ArchiveDate::month),
        archiveTitleKey("archDay", &ArchiveDate::day),
        archiveTitleKey("archYear", &ArchiveDate::year),
        {QStringLiteral("pathString"), [](const Settings& s) { return QVariant(s.workingFolder); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             const std::optional<QString> text = textValue(v);
             if (text) s.workingFolder = *text;
             return text.has_value();
         },
         [](Settings& s, const LoadContext& context) {
             s.workingFolder = desktopFolderOf(context.osHome);
         }},
        {QStringLiteral("updatesState"),
         [](const Settings& s) { return storableFlag(s.checkForUpdates); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             const std::optional<int> n = integerValue(v);
             if (n) s.checkForUpdates = *n != 0;
             return n.has_value();
         },
         [](Settings& s, const LoadContext&) { s.checkForUpdates = false; }},
        {QStringLiteral("schedDateValue"),
         [](const Settings& s) { return QVariant(formatScheduleDate(s.schedule.time)); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             const QDateTime time = parseScheduleDate(textValue(v).value_or(QString()));
             if (time.isValid()) s.schedule.time = time;
             return time.isValid();
         }},
        {QStringLiteral("scheddays"),
         [](const Settings& s) {
             QVariantList days{storableFlag(s.schedule.days.everyDay)};
             for (bool on : s.schedule.days.weekdays) days.append(storableFlag(on));
             return QVariant(days);
         },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             // Eight states or none: a shorter list is no week. The file gives texts; a
             // value this process saved may still be the integers it was given.
             const QVariantList days = v.typeId() == QMetaType::QStringList
                                           ? QVariant(v.toStringList()).toList()
                                       : v.typeId() == QMetaType::QVariantList ? v.toList()
                                                                               : QVariantList();
             if (days.size() != 8) return false;
             std::array<int, 8> states{};
             for (int d = 0; d < 8; ++d) {
                 const std::optional<int> state = integerValue(days.at(d));
                 if (!state) return false;
                 states[d] = *state;
             }
             s.schedule.days.everyDay = states[0] != 0;
             for (int d = 0; d < 7; ++d) s.schedule.days.weekdays[d] = states[d + 1] != 0;
             return true;
         }},
        scheduleNumberKey("schedMonth", &Schedule::month, 12),
        scheduleNumberKey("schedMday", &Schedule::monthDay, 31),
        // 0 is "by month" and is read as such: a schedule stored by month must not come
        // back weekly because the weekly choice is the one a first start shows.
        {QStringLiteral("setByDay"),
         [](const Settings& s) { return storableFlag(s.schedule.byWeekdays); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             const std::optional<int> n = integerValue(v);
             if (n) s.schedule.byWeekdays = *n != 0;
             return n.has_value();
         }},
        // The stepper offers 1 to 23 hours; 0 is "not set".
        {QStringLiteral("hoursStep"),
         [](const Settings& s) { return QVariant(s.schedule.hoursStep); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             const std::optional<int> n = integerValueIn(v, 0, 23);
             if (n && *n != 0) s.schedule.hoursStep = *n;
             return n.has_value();
         }},
        {QStringLiteral("hoursState"),
         [](const Settings& s) { return storableFlag(s.schedule.everyNHours); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             const std::optional<int> n = integerValue(v);
             if (n && *n != 0) s.schedule.everyNHours = true;
             return n.has_value();
         }},
        flagUnlessZeroKey("packOverwrite", &Settings::packOverwrite),
        flagUnlessZeroKey("unpackOverwrite", &Settings::unpackOverwrite),
        // Seconds, a fraction allowed; a settle time longer than a day is a typing slip,
        // not a wish, and like anything but a positive number it is damaged.
        {QStringLiteral("watchSettle"), [](const Settings& s) { return QVariant(s.watchSettle); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             bool ok = false;
             const double seconds = v.toDouble(&ok);
             if (!ok || seconds <= 0 || seconds > 86400) return false;
             s.watchSettle = seconds;
             return true;
         }},
    };
    return table;
}
