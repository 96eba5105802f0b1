#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// A key of the settings file whose value is not one of its kind (a list where a text
// belongs, a folder list that is not nine names, a number that is none). The load leaves
// it out, as if it were missing, and keeps every other key.
struct DamagedSetting {
    QString key;
    QByteArray line;  // the key's line as the file has it, continuation lines included

    friend bool operator==(const DamagedSetting&, const DamagedSetting&) = default;
};

// The lines that give key its value in the settings file's [General] section (where
// QSettings keeps keys outside any group), byte for byte; empty when there are none.
QByteArray settingLines(const QByteArray& fileContents, const QString& key);

// Appends the damaged keys' lines to sideFile under one line saying when and from which
// file, leaving out a line the side file holds already, so that keeping the same damage
// twice writes nothing. The side file is only ever appended to. False when it cannot be
// written, or is no regular file.
bool setAsideLines(const QString& sideFile, const QString& settingsFile,
                   const QList<DamagedSetting>& damaged, const QDateTime& time);
