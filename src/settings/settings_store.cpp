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
#include "settings/settings_keys.h"

namespace {

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
    for (const SettingsKey& key : settingsKeys()) names.append(key.name);
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
    for (const SettingsKey& key : settingsKeys()) values.append({key.name, key.write(settings)});
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
    for (const SettingsKey& key : settingsKeys()) {
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

void SettingsStore::reread() { prefs_->sync(); }

void SettingsStore::save(const Settings& s) {
    // A damaged key's line is the user's text: it is kept before a value is written over
    // it, or, when it cannot be kept (or was not found in the file), left where it is.
    if (!damaged_.isEmpty() && !damagedSetAside_) {
        const bool linesFound = std::none_of(damaged_.begin(), damaged_.end(),
                                             [](const auto& d) { return d.line.isEmpty(); });
        damagedSetAside_ = linesFound && setAsideLines(setAsideFilePath(), filePath_, damaged_,
                                                       QDateTime::currentDateTime());
    }
    for (const SettingsKey& key : settingsKeys()) {
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
