#pragma once

#include <QSettings>
#include <QString>
#include <QVariantMap>
#include <memory>

#include "settings/settings.h"
#include "settings/setup_form.h"

// The per-user settings file and the three operations between it, the mirrors and the
// controls: load, save and, through the reset flag, reset.
class SettingsStore {
  public:
    // The keys in the order a save writes them.
    static const QStringList keys;

    explicit SettingsStore(const QString& filePath);
    ~SettingsStore();

    // $XDG_CONFIG_HOME/Desktidy/Desktidy.conf, or ~/.config/... when it is not set.
    static QString defaultFilePath(const QString& home);

    // Load: the store (or, for a first start or a reset, the bundle defaults) into the
    // mirrors, then the mirrors into the controls. A stored folder list that is not nine
    // names gives way to the bundle's names alone.
    void load(Settings& settings, SetupForm& form, const QVariantMap& myDefaults,
              const QString& osHome);
    // Save: the controls into the mirrors, then every key into the store, committed.
    void save(Settings& settings, const SetupForm& form);

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

// "YYYY-MM-DD HH:MM:SS ±hhmm" in local time, as the schedule time is stored.
QString formatScheduleDate(const QDateTime& time);
// Reads that form back; an invalid QDateTime when the text is not in it.
QDateTime parseScheduleDate(const QString& text);
