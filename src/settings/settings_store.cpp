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

const QStringList SettingsStore::keys = {
    QStringLiteral("folders"),       QStringLiteral("myfolders"),
    QStringLiteral("web"),           QStringLiteral("compressed"),
    QStringLiteral("layout"),        QStringLiteral("data"),
    QStringLiteral("image"),         QStringLiteral("words"),
    QStringLiteral("video"),         QStringLiteral("audio"),
    QStringLiteral("packFrom"),      QStringLiteral("packTo"),
    QStringLiteral("unpackFrom"),    QStringLiteral("unpackTo"),
    QStringLiteral("archMonth"),     QStringLiteral("archDay"),
    QStringLiteral("archYear"),      QStringLiteral("pathString"),
    QStringLiteral("updatesState"),  QStringLiteral("schedDateValue"),
    QStringLiteral("scheddays"),     QStringLiteral("schedMonth"),
    QStringLiteral("schedMday"),     QStringLiteral("setByDay"),
    QStringLiteral("hoursStep"),     QStringLiteral("hoursState"),
    QStringLiteral("packOverwrite"), QStringLiteral("unpackOverwrite")};

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

// Nine non-empty names, or nothing usable: later code indexes the list 0 to 8.
bool isUsableFolderList(const QStringList& folders) {
    return folders.size() == 9 && std::none_of(folders.begin(), folders.end(),
                                               [](const QString& s) { return s.isEmpty(); });
}

void sortCaseInsensitively(QStringList& list) {
    std::stable_sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}

QStringList& listForKey(Settings& s, const QString& key) {
    static const QHash<QString, QStringList Settings::*> members = {
        {QStringLiteral("myfolders"), &Settings::myFoldersArray},
        {QStringLiteral("web"), &Settings::webTypesArray},
        {QStringLiteral("compressed"), &Settings::compressedTypesArray},
        {QStringLiteral("layout"), &Settings::layoutTypesArray},
        {QStringLiteral("data"), &Settings::dataTypesArray},
        {QStringLiteral("image"), &Settings::imageTypesArray},
        {QStringLiteral("words"), &Settings::wordsTypesArray},
        {QStringLiteral("video"), &Settings::videoTypesArray},
        {QStringLiteral("audio"), &Settings::audioTypesArray},
        {QStringLiteral("packFrom"), &Settings::packFromArray},
        {QStringLiteral("packTo"), &Settings::packToArray},
        {QStringLiteral("unpackFrom"), &Settings::unpackFromArray},
        {QStringLiteral("unpackTo"), &Settings::unpackToArray},
    };
    return s.*members.value(key);
}

QString desktopOf(const QString& home) { return desktopFolderOf(home); }

}  // namespace

QString formatScheduleDate(const QDateTime& time) {
    const QDateTime local = time.toLocalTime();
    const int offset = local.offsetFromUtc() / 60;
    const int magnitude = std::abs(offset);
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1%2")
               .arg(magnitude / 60, 2, 10, QChar(u'0'))
               .arg(magnitude % 60, 2, 10, QChar(u'0'));
}

QDateTime parseScheduleDate(const QString& text) {
    if (text.size() != 25 || text.at(19) != u' ') return {};
    QDateTime time = QDateTime::fromString(text.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QString zone = text.mid(20);
    if (!time.isValid() || (zone.at(0) != u'+' && zone.at(0) != u'-')) return {};
    bool okHours = false, okMinutes = false;
    const int hours = zone.mid(1, 2).toInt(&okHours), minutes = zone.mid(3, 2).toInt(&okMinutes);
    if (!okHours || !okMinutes) return {};
    const int seconds = (zone.at(0) == u'-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    time.setTimeZone(QTimeZone(seconds));
    return time.toLocalTime();
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

void SettingsStore::load(Settings& s, SetupForm& form, const QVariantMap& myDefaults,
                         const QString& osHome) {
    s.fileFoldersArray = readList(value(QStringLiteral("folders")));

    // Only a first start (or a reset) takes the defaults path: a damaged folder list must
    // not cost the user the lists and dates stored beside it.
    if (s.fileFoldersArray.isEmpty() || s.reset != 0) {
        s.reset = 0;
        s.fileFoldersArray = readList(myDefaults.value(QStringLiteral("folders")));
        for (const QString& key : typeKeysInStoreOrder)
            listForKey(s, key) = readList(myDefaults.value(key));
        s.archMonth = s.archDay = s.archYear = QStringLiteral("None");
        s.pathString = desktopOf(osHome);
        s.packOverwrite = s.updatesState = s.unpackOverwrite = 1;
        form.packOverwriteCheck = form.unpackOverwriteCheck = true;
        // The folder list, the pack lists and the schedule stay as they are.
    } else {
        if (!isUsableFolderList(s.fileFoldersArray))
            s.fileFoldersArray = readList(myDefaults.value(QStringLiteral("folders")));
        for (const QString& key : keys.mid(1, 13)) listForKey(s, key) = readList(value(key));

        // A text missing from a file written by hand keeps its first-start value.
        s.archMonth = readText(value(QStringLiteral("archMonth"))).value_or(QStringLiteral("None"));
        s.archDay = readText(value(QStringLiteral("archDay"))).value_or(QStringLiteral("None"));
        s.archYear = readText(value(QStringLiteral("archYear"))).value_or(QStringLiteral("None"));
        s.pathString = readText(value(QStringLiteral("pathString"))).value_or(desktopOf(osHome));
        s.updatesState = readInt(value(QStringLiteral("updatesState")));

        // For these a stored 0 leaves the mirror and its control as they are.
        if (int v = readInt(value(QStringLiteral("hoursState")))) s.hoursState = v;
        if (int v = readInt(value(QStringLiteral("setByDay")))) s.setByDay = v;
        if (int v = readInt(value(QStringLiteral("hoursStep")))) s.hoursStep = v;
        if (int v = readInt(value(QStringLiteral("schedMonth"))); v > 0 && v <= 12) {
            s.schedMonth = v;
            form.schedMonthButton = v;
        }
        if (int v = readInt(value(QStringLiteral("schedMday"))); v > 0 && v <= 31) {
            s.schedMday = v;
            form.schedMdayButton = v;
        }

        if (auto date = readText(value(QStringLiteral("schedDateValue")))) {
            s.schedDateValue = *date;
            s.schedHour = leadingInteger(date->mid(11, 2));
            s.schedMin = leadingInteger(date->mid(14, 2));
            const QDateTime time = parseScheduleDate(*date);
            if (time.isValid()) form.schedTime = time;
        }

        s.schedDaysArray.clear();
        for (const QString& day : readList(value(QStringLiteral("scheddays"))))
            s.schedDaysArray.append(leadingInteger(day) != 0 ? 1 : 0);
        // Eight states or none: a shorter list from a damaged file is not applied.
        if (s.schedDaysArray.size() == 8) {
            bool* boxes[] = {&form.schedAll, &form.schedSun, &form.schedMon, &form.schedTue,
                             &form.schedWed, &form.schedThu, &form.schedFri, &form.schedSat};
            for (int i = 0; i < 8; ++i) *boxes[i] = s.schedDaysArray[i] != 0;
        }

        form.byDayMonth = s.setByDay != 0 ? 0 : 1;
        form.hoursStepper = s.hoursStep;
        form.everyHourCheck = s.hoursState != 0;

        if (int v = readInt(value(QStringLiteral("packOverwrite")))) s.packOverwrite = v;
        if (int v = readInt(value(QStringLiteral("unpackOverwrite")))) s.unpackOverwrite = v;
        form.packOverwriteCheck = s.packOverwrite != 0;
        form.unpackOverwriteCheck = s.unpackOverwrite != 0;
    }

    // The pack lists are pairs: a file edited by hand may leave one side longer. Empty
    // cells keep every row, and the copy run reports the incomplete ones.
    auto pairUp = [](QStringList& a, QStringList& b) {
        const qsizetype n = std::max(a.size(), b.size());
        a.resize(n);
        b.resize(n);
    };
    pairUp(s.packFromArray, s.packToArray);
    pairUp(s.unpackFromArray, s.unpackToArray);

    for (const QString& key : typeKeysInStoreOrder) sortCaseInsensitively(listForKey(s, key));
    form.archiveMo = s.archMonth;
    form.archiveDa = s.archDay;
    form.archiveYr = s.archYear;
    form.updatesCheck = s.updatesState != 0;
    form.myPathControl = s.pathString;
    form.folderTableViewSelectedRow = 1;
    setTypeArray(s, 1);
}

void SettingsStore::save(Settings& s, const SetupForm& form) {
    s.archMonth = form.archiveMo;
    s.archDay = form.archiveDa;
    s.archYear = form.archiveYr;
    s.updatesState = form.updatesCheck ? 1 : 0;
    s.pathString = form.myPathControl;
    s.schedDateValue = formatScheduleDate(form.schedTime);
    s.schedDaysArray = {form.schedAll, form.schedSun, form.schedMon, form.schedTue,
                        form.schedWed, form.schedThu, form.schedFri, form.schedSat};
    s.setByDay = form.byDayMonth == 0 ? 1 : 0;
    s.schedMonth = form.schedMonthButton;
    s.schedMday = form.schedMdayButton;
    s.hoursState = form.everyHourCheck ? 1 : 0;
    s.hoursStep = form.hoursStepper;
    s.packOverwrite = form.packOverwriteCheck ? 1 : 0;
    s.unpackOverwrite = form.unpackOverwriteCheck ? 1 : 0;

    QVariantList days;
    for (int d : s.schedDaysArray) days.append(d);
    const QVariantList values = {s.fileFoldersArray,
                                 s.myFoldersArray,
                                 s.webTypesArray,
                                 s.compressedTypesArray,
                                 s.layoutTypesArray,
                                 s.dataTypesArray,
                                 s.imageTypesArray,
                                 s.wordsTypesArray,
                                 s.videoTypesArray,
                                 s.audioTypesArray,
                                 s.packFromArray,
                                 s.packToArray,
                                 s.unpackFromArray,
                                 s.unpackToArray,
                                 s.archMonth,
                                 s.archDay,
                                 s.archYear,
                                 s.pathString,
                                 s.updatesState,
                                 s.schedDateValue,
                                 days,
                                 s.schedMonth,
                                 s.schedMday,
                                 s.setByDay,
                                 s.hoursStep,
                                 s.hoursState,
                                 s.packOverwrite,
                                 s.unpackOverwrite};
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QVariant value = values[i].typeId() == QMetaType::QStringList
                                   ? storableList(values[i].toStringList())
                                   : values[i];
        defaultPrefs_.insert(keys[i], value);
        prefs_->setValue(keys[i], value);
    }
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    prefs_->sync();
}
