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

// Reads that tolerate a file edited by hand: a value of the wrong type reads as missing.
QStringList readList(const QVariant& v) {
    if (!v.isValid()) return {};
    if (v.typeId() == QMetaType::QString)
        return v.toString().isEmpty() ? QStringList() : QStringList{v.toString()};
    return v.toStringList();
}

std::optional<QString> readText(const QVariant& v) {
    if (!v.isValid() || v.typeId() != QMetaType::QString) return std::nullopt;
    return v.toString();
}

int readInt(const QVariant& v) {
    if (!v.isValid()) return 0;
    if (v.typeId() == QMetaType::QString) return leadingInteger(v.toString());
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : 0;
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

struct LoadContext {
    const QVariantMap& myDefaults;
    const QString& osHome;
};

// A key of the file: its value as a save writes it, and how a load reads it back.
struct Key {
    QString name;
    std::function<QVariant(const Settings&)> write;
    std::function<void(Settings&, const QVariant&, const LoadContext&)> read;
};

Key listKey(const char* name, QStringList Settings::*list) {
    return {QString::fromLatin1(name), [list](const Settings& s) { return storableList(s.*list); },
            [list](Settings& s, const QVariant& v, const LoadContext&) { s.*list = readList(v); }};
}

Key typeListKey(Category category) {
    return {categoryKey(category),
            [category](const Settings& s) { return storableList(s.types(category)); },
            [category](Settings& s, const QVariant& v, const LoadContext&) {
                s.types(category) = readList(v);
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
                const QStringList column = readList(v);
                QList<PackRow>& list = s.*rows;
                if (list.size() < column.size()) list.resize(column.size());
                for (qsizetype i = 0; i < column.size(); ++i) list[i].*cell = column[i];
            }};
}

// A text missing from a file written by hand keeps its first-start value.
Key archiveTitleKey(const char* name, QString ArchiveDate::*title) {
    return {QString::fromLatin1(name),
            [title](const Settings& s) { return QVariant(s.archiveDate.*title); },
            [title](Settings& s, const QVariant& v, const LoadContext&) {
                s.archiveDate.*title = readText(v).value_or(QStringLiteral("None"));
            }};
}

// For these keys 0 means "not set": a stored 0 leaves the value as it is.
Key flagUnlessZeroKey(const char* name, bool Settings::*flag) {
    return {QString::fromLatin1(name), [flag](const Settings& s) { return storableFlag(s.*flag); },
            [flag](Settings& s, const QVariant& v, const LoadContext&) {
                if (readInt(v) != 0) s.*flag = true;
            }};
}

// A month or day of the month: 0 ("All") or out of range leaves the value as it is.
Key scheduleNumberKey(const char* name, int Schedule::*number, int last) {
    return {QString::fromLatin1(name),
            [number](const Settings& s) { return QVariant(s.schedule.*number); },
            [number, last](Settings& s, const QVariant& v, const LoadContext&) {
                if (const int n = readInt(v); n > 0 && n <= last) s.schedule.*number = n;
            }};
}

// A settle time longer than a day is a typing slip, not a wish.
constexpr double maximumWatchSettle = 86400;

// Every key of the file, in the order a save writes them.
const QList<Key>& keyTable() {
    static const QList<Key> table = {
        {QStringLiteral("folders"), [](const Settings& s) { return storableList(s.folderNames); },
         [](Settings& s, const QVariant& v, const LoadContext& context) {
             const QStringList names = readList(v);
             s.folderNames = isUsableFolderList(names)
                                 ? names
                                 : readList(context.myDefaults.value(QStringLiteral("folders")));
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
         [](Settings& s, const QVariant& v, const LoadContext& context) {
             s.workingFolder = readText(v).value_or(desktopFolderOf(context.osHome));
         }},
        {QStringLiteral("updatesState"),
         [](const Settings& s) { return storableFlag(s.checkForUpdates); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             s.checkForUpdates = readInt(v) != 0;
         }},
        {QStringLiteral("schedDateValue"),
         [](const Settings& s) { return QVariant(formatScheduleDate(s.schedule.time)); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             const QDateTime time = parseScheduleDate(readText(v).value_or(QString()));
             if (time.isValid()) s.schedule.time = time;
         }},
        {QStringLiteral("scheddays"),
         [](const Settings& s) {
             QVariantList days{storableFlag(s.schedule.days.everyDay)};
             for (bool on : s.schedule.days.weekdays) days.append(storableFlag(on));
             return QVariant(days);
         },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             // Eight states or none: a shorter list from a damaged file is not applied.
             const QStringList days = readList(v);
             if (days.size() != 8) return;
             s.schedule.days.everyDay = leadingInteger(days[0]) != 0;
             for (int d = 0; d < 7; ++d)
                 s.schedule.days.weekdays[d] = leadingInteger(days[d + 1]) != 0;
         }},
        scheduleNumberKey("schedMonth", &Schedule::month, 12),
        scheduleNumberKey("schedMday", &Schedule::monthDay, 31),
        // 0 is "by month" and is read as such: a schedule stored by month must not come
        // back weekly because the weekly choice is the one a first start shows.
        {QStringLiteral("setByDay"),
         [](const Settings& s) { return storableFlag(s.schedule.byWeekdays); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             s.schedule.byWeekdays = readInt(v) != 0;
         }},
        {QStringLiteral("hoursStep"),
         [](const Settings& s) { return QVariant(s.schedule.hoursStep); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             if (const int n = readInt(v)) s.schedule.hoursStep = n;
         }},
        {QStringLiteral("hoursState"),
         [](const Settings& s) { return storableFlag(s.schedule.everyNHours); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             if (readInt(v) != 0) s.schedule.everyNHours = true;
         }},
        flagUnlessZeroKey("packOverwrite", &Settings::packOverwrite),
        flagUnlessZeroKey("unpackOverwrite", &Settings::unpackOverwrite),
        // Seconds, a fraction allowed; anything but a positive number keeps the value.
        {QStringLiteral("watchSettle"), [](const Settings& s) { return QVariant(s.watchSettle); },
         [](Settings& s, const QVariant& v, const LoadContext&) {
             bool ok = false;
             const double seconds = v.toDouble(&ok);
             if (ok && seconds > 0 && seconds <= maximumWatchSettle) s.watchSettle = seconds;
         }},
    };
    return table;
}

}  // namespace

const QStringList SettingsStore::keys = [] {
    QStringList names;
    for (const Key& key : keyTable()) names.append(key.name);
    return names;
}();

void restoreDefaults(Settings& s, const QVariantMap& myDefaults, const QString& osHome) {
    s.folderNames = readList(myDefaults.value(QStringLiteral("folders")));
    for (Category category : allCategories) {
        s.types(category) = readList(myDefaults.value(categoryKey(category)));
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

void SettingsStore::load(Settings& s, const QVariantMap& myDefaults, const QString& osHome) {
    // Only a first start takes the defaults: a damaged folder list must not cost the user
    // the lists and dates stored beside it.
    if (readList(value(QStringLiteral("folders"))).isEmpty()) {
        restoreDefaults(s, myDefaults, osHome);
        return;
    }
    const LoadContext context{myDefaults, osHome};
    s.packRows.clear();  // the pack columns fill the rows afresh
    s.unpackRows.clear();
    for (const Key& key : keyTable()) key.read(s, value(key.name), context);
    for (Category category : allCategories) sortTypeList(s.types(category));
}

void SettingsStore::reread() { prefs_->sync(); }

void SettingsStore::save(const Settings& s) {
    for (const Key& key : keyTable()) {
        const QVariant value = key.write(s);
        defaultPrefs_.insert(key.name, value);
        prefs_->setValue(key.name, value);
    }
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    prefs_->sync();
}
