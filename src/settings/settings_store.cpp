#include "settings/settings_store.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimeZone>
#include <algorithm>

#include "platform/file_system.h"
#include "platform/text.h"
#include "platform/user_environment.h"

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

QStringList bundleList(const QVariantMap& myDefaults, const QString& key) {
    return listValue(myDefaults.value(key)).value_or(QStringList());
}

struct LoadContext {
    const QVariantMap& myDefaults;
    const QString& osHome;
};

// A key of the file: its value as a save writes it, how a load reads it back (false,
// leaving settings as they are, for a value not of its kind), and what it reads as when
// it is missing or set aside.
struct Key {
    QString name;
    std::function<QVariant(const Settings&)> write;
    std::function<bool(Settings&, const QVariant&, const LoadContext&)> read;
    std::function<void(Settings&, const LoadContext&)> absent = [](Settings&, const LoadContext&) {
    };
};

Key listKey(const char* name, QStringList Settings::*list) {
    return {QString::fromLatin1(name), [list](const Settings& s) { return storableList(s.*list); },
            [list](Settings& s, const QVariant& v, const LoadContext&) {
                const std::optional<QStringList> read = listValue(v);
                if (read) s.*list = *read;
                return read.has_value();
            },
            [list](Settings& s, const LoadContext&) { (s.*list).clear(); }};
}

// A missing type list is none the user chose: the bundle's list stands in for it.
Key typeListKey(Category category) {
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
Key packColumnKey(const char* name, QList<PackRow> Settings::*rows, QString PackRow::*cell) {
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
Key archiveTitleKey(const char* name, QString ArchiveDate::*title) {
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
Key flagUnlessZeroKey(const char* name, bool Settings::*flag) {
    return {QString::fromLatin1(name), [flag](const Settings& s) { return storableFlag(s.*flag); },
            [flag](Settings& s, const QVariant& v, const LoadContext&) {
                const std::optional<int> n = integerValue(v);
                if (n && *n != 0) s.*flag = true;
                return n.has_value();
            }};
}

// A number of the schedule from 0 to last: 0 ("All", or "not set") leaves the value as
// it is.
Key scheduleNumberKey(const char* name, int Schedule::*number, int last) {
    return {QString::fromLatin1(name),
            [number](const Settings& s) { return QVariant(s.schedule.*number); },
            [number, last](Settings& s, const QVariant& v, const LoadContext&) {
                const std::optional<int> n = integerValueIn(v, 0, last);
                if (n && *n != 0) s.schedule.*number = *n;
                return n.has_value();
            }};
}

// Every key of the file, in the order a save writes them.
const QList<Key>& keyTable() {
    static const QList<Key> table = {
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
    };
    return table;
}

// "“a”", "“a” and “b”", "“a”, “b” and “c”".
QString quotedList(const QStringList& names) {
    QStringList quoted;
    for (const QString& name : names) quoted << u'\u201c' + name + u'\u201d';
    if (quoted.size() < 2) return quoted.value(0);
    return quoted.mid(0, quoted.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           quoted.last();
}

}  // namespace

const QStringList SettingsStore::keys = [] {
    QStringList names;
    for (const Key& key : keyTable()) names.append(key.name);
    return names;
}();

void restoreDefaults(Settings& s, const QVariantMap& myDefaults, const QString& osHome) {
    s.folderNames = bundleList(myDefaults, QStringLiteral("folders"));
    for (Category category : allCategories) {
        s.types(category) = bundleList(myDefaults, categoryKey(category));
        sortTypeList(s.types(category));
    }
    s.archiveDate = ArchiveDate();
    s.workingFolder = desktopFolderOf(osHome);
    s.checkForUpdates = s.packOverwrite = s.unpackOverwrite = true;
}

QString formatScheduleDate(const QDateTime& time) {
    const int offset = time.offsetFromUtc() / 60;
    const int magnitude = std::abs(offset);
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1%2")
               .arg(magnitude / 60, 2, 10, QChar(u'0'))
               .arg(magnitude % 60, 2, 10, QChar(u'0'));
}

QDateTime parseScheduleDate(const QString& text) {
    if (text.size() != 25 || text.at(10) != u' ' || text.at(19) != u' ') return {};
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(11, 8), QStringLiteral("HH:mm:ss"));
    const QString zone = text.mid(20);
    if (!date.isValid() || !time.isValid() || (zone.at(0) != u'+' && zone.at(0) != u'-')) return {};
    bool okHours = false, okMinutes = false;
    const int hours = zone.mid(1, 2).toInt(&okHours), minutes = zone.mid(3, 2).toInt(&okMinutes);
    if (!okHours || !okMinutes) return {};
    const int seconds = (zone.at(0) == u'-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    return QDateTime(date, time, QTimeZone(seconds));
}

SettingsStore::SettingsStore(const QString& filePath) : filePath_(filePath) { openFile(); }

SettingsStore::~SettingsStore() = default;

QString SettingsStore::defaultFilePath(const QString& home) {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = home + QStringLiteral("/.config");
    return config + QStringLiteral("/Desktidy/Desktidy.conf");
}

QString SettingsStore::filePath() const { return filePath_; }

void SettingsStore::openFile() {
    // Only a regular file is read: reading a FIFO put in its place would stall start-up
    // for ever, and a device would never end.
    struct stat status;
    const bool missing = ::stat(QFile::encodeName(filePath_).constData(), &status) != 0;
    if (missing || S_ISREG(status.st_mode)) {
        prefs_ = std::make_unique<QSettings>(filePath_, QSettings::IniFormat);
        if (prefs_->status() != QSettings::FormatError) return;
        prefs_.reset();
    }
    // QSettings will not write over a file it could not read. Keep the damaged file
    // beside the new one rather than lose it, and start from an empty store.
    LocalFileSystem files;
    for (int n = 1; n < 1000; ++n) {
        const QString aside = filePath_ + QStringLiteral(".damaged-%1").arg(n);
        if (files.moveNoReplace(Path::fromText(filePath_), Path::fromText(aside)).ok()) {
            setAside_ = aside;
            break;
        }
    }
    prefs_ = std::make_unique<QSettings>(filePath_, QSettings::IniFormat);
}

QVariant SettingsStore::value(const QString& key) const {
    if (prefs_->contains(key)) return prefs_->value(key);
    return defaultPrefs_.value(key);
}

QList<QPair<QString, QVariant>> SettingsStore::storedForm(const Settings& settings) {
    QList<QPair<QString, QVariant>> values;
    for (const Key& key : keyTable()) values.append({key.name, key.write(settings)});
    return values;
}

void SettingsStore::load(Settings& s, const QVariantMap& myDefaults, const QString& osHome) {
    damaged_.clear();
    damagedSetAside_ = false;
    const auto isStored = [this](const QString& key) {
        return prefs_->contains(key) || defaultPrefs_.contains(key);
    };
    if (std::none_of(keys.begin(), keys.end(), isStored)) {  // a first start
        restoreDefaults(s, myDefaults, osHome);
        return;
    }
    // Each key on its own: one the file damaged must not cost the user the others.
    const LoadContext context{myDefaults, osHome};
    s.packRows.clear();  // the pack columns fill the rows afresh
    s.unpackRows.clear();
    QByteArray contents;
    for (const Key& key : keyTable()) {
        if (isStored(key.name) && key.read(s, value(key.name), context)) continue;
        key.absent(s, context);
        if (!isStored(key.name)) continue;
        if (contents.isEmpty()) {
            QFile file(filePath_);
            if (file.open(QIODevice::ReadOnly)) contents = file.readAll();
        }
        damaged_.append({key.name, settingLines(contents, key.name)});
    }
    for (Category category : allCategories) sortTypeList(s.types(category));
}

void SettingsStore::save(const Settings& s) {
    // A damaged key's line is the user's text: it is kept before a value is written over
    // it, or, when it cannot be kept, left where it is.
    if (!damaged_.isEmpty() && !damagedSetAside_)
        damagedSetAside_ =
            setAsideLines(setAsideFilePath(), filePath_, damaged_, QDateTime::currentDateTime());
    for (const Key& key : keyTable()) {
        const QVariant value = key.write(s);
        defaultPrefs_.insert(key.name, value);
        const bool kept = std::any_of(damaged_.begin(), damaged_.end(),
                                      [&](const auto& d) { return d.key == key.name; });
        if (damagedSetAside_ || !kept) prefs_->setValue(key.name, value);
    }
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    prefs_->sync();
}

QString SettingsStore::takeDamageReport() {
    QStringList keys;
    for (const DamagedSetting& setting : damaged_) {
        if (reported_.contains(setting)) continue;
        reported_.append(setting);
        keys << setting.key;
    }
    if (keys.isEmpty()) return QString();
    const bool one = keys.size() == 1;
    const QString side = u'\u201c' + setAsideFilePath() + u'\u201d';
    return QStringLiteral(
               "%1 %2 in \u201c%3\u201d could not be read and %4 left out; the other "
               "settings are kept. %5 %6")
        .arg(one ? QStringLiteral("The setting") : QStringLiteral("The settings"), quotedList(keys),
             filePath_, one ? QStringLiteral("is") : QStringLiteral("are"),
             one ? QStringLiteral("Its line") : QStringLiteral("Their lines"),
             damagedSetAside_ ? QStringLiteral("%1 kept in %2.").arg(one ? "is" : "are", side)
                              : QStringLiteral("%1 to %2 before the file is next written.")
                                    .arg(one ? "goes" : "go", side));
}
