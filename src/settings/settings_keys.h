#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <functional>

#include "settings/settings.h"

// The keys of the settings file, each read on its own. Used by the store only.

// What a load reads with besides the file.
struct LoadContext {
    const QVariantMap& myDefaults;
    const QString& osHome;
};

// A key of the file: its value as a save writes it, how a load reads it back (false,
// leaving settings as they are, for a value not of its kind), and what it reads as when
// it is missing or set aside.
struct SettingsKey {
    QString name;
    std::function<QVariant(const Settings&)> write;
    std::function<bool(Settings&, const QVariant&, const LoadContext&)> read;
    std::function<void(Settings&, const LoadContext&)> absent = [](Settings&, const LoadContext&) {
    };
};

// Every key of the file, in the order a save writes them.
const QList<SettingsKey>& settingsKeys();

// A list the bundle's defaults hold under key; empty when it holds none.
QStringList bundleList(const QVariantMap& myDefaults, const QString& key);
