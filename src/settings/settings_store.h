#pragma once

#include <QSettings>
#include <QString>
#include <QVariantMap>
#include <memory>

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

    // Reads the file into settings. A file without folder names (a first start) gives
    // the defaults instead (restoreDefaults), leaving the rest of settings as it is. A
    // folder list that is not nine names gives way to the bundle's names alone. For the
    // keys whose 0 means "not set", a stored 0 leaves the value in settings.
    void load(Settings& settings, const QVariantMap& myDefaults, const QString& osHome);
    // Writes every key, and commits the file.
    void save(const Settings& settings);
    // Reads the file again after another process changed it (QSettings keeps what it read).
    void reread();

    // A key as the program reads it: the file's value, else the value of the last save.
    QVariant value(const QString& key) const;
    QString filePath() const;
    // Set when the file could not be read and was put aside under this name.
    QString setAsideCopy() const { return setAside_; }

  private:
    void openFile();

    QString filePath_;
    QString setAside_;
    std::unique_ptr<QSettings> prefs_;
    QVariantMap defaultPrefs_;  // fall-back values: what the last save wrote
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
