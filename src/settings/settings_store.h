#pragma once

#include <QSettings>
#include <QString>
#include <QVariantMap>
#include <memory>

#include "settings/set_aside.h"
#include "settings/settings.h"

// The per-user settings file: 29 keys, read into and written from a Settings through one
// table of keys (settings_store.cpp).
class SettingsStore {
  public:
    // The keys in the order a save writes them.
    static const QStringList keys;

    explicit SettingsStore(const QString& filePath);
    ~SettingsStore();

    // $XDG_CONFIG_HOME/Desktidy/Desktidy.conf, or ~/.config/... when it is not set.
    static QString defaultFilePath(const QString& home);

    // Reads the file into settings, each key on its own. A file without any of the keys
    // (a first start) gives the defaults instead (restoreDefaults), leaving the rest of
    // settings as it is. A key that is missing, or damaged (its value not one of its
    // kind: see damagedSettings), reads as missing: the bundle's value for the folder
    // names and the type lists, for the others what a first start has or the value
    // settings holds. For the keys whose 0 means "not set", a stored 0 leaves the value
    // in settings.
    void load(Settings& settings, const QVariantMap& myDefaults, const QString& osHome);
    // Writes every key, and commits the file. The lines of the keys the last load found
    // damaged are first kept in setAsideFilePath; when that cannot be written, those
    // keys keep their text in the file and only the others are written.
    void save(const Settings& settings);
    // Reads the file again after another process changed it (QSettings keeps what it read).
    void reread();

    // A key as the program reads it: the file's value, else the value of the last save.
    QVariant value(const QString& key) const;
    // Every key with the value a save of settings writes, in the order of keys.
    static QList<QPair<QString, QVariant>> storedForm(const Settings& settings);
    QString filePath() const;
    // Set when the file could not be read and was put aside under this name.
    QString setAsideCopy() const { return setAside_; }

    // The keys the last load left out, in the order of keys.
    const QList<DamagedSetting>& damagedSettings() const { return damaged_; }
    // Desktidy.conf.set-aside beside the file: where damaged keys' lines are kept.
    QString setAsideFilePath() const { return filePath_ + QStringLiteral(".set-aside"); }
    // One sentence for each damaged key the user has not been told of yet in this
    // process, saying that it is left out and where its line is kept; empty when there
    // is nothing new to tell.
    QString takeDamageReport();

  private:
    void openFile();

    QString filePath_;
    QString setAside_;
    std::unique_ptr<QSettings> prefs_;
    QVariantMap defaultPrefs_;  // fall-back values: what the last save wrote
    QList<DamagedSetting> damaged_;
    bool damagedSetAside_ = false;    // their lines are in the side file
    QList<DamagedSetting> reported_;  // told of already
};

// The values of a first start and of a reset: the bundle's folder names and type lists,
// no archive date, the desktop as working folder, the update check and both overwrite
// flags on. The folder list, the pack lists and the schedule stay as they are.
void restoreDefaults(Settings& settings, const QVariantMap& myDefaults, const QString& osHome);

// "YYYY-MM-DD HH:MM:SS ±hhmm", in the time's own offset from UTC, as the schedule time
// is stored.
QString formatScheduleDate(const QDateTime& time);
// Reads that form back, keeping the offset; an invalid QDateTime when the text is not in it.
QDateTime parseScheduleDate(const QString& text);
