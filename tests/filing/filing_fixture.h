#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "settings/settings.h"

// The default folder names with short type lists: mp3 audio, zip compressed, csv data,
// jpg and .png images, txt words.
Settings filingSettings();

// Every item below root by relative path: "dir", "file:<contents> @<mtime>" or
// "link:<target>". Links are described, never followed.
QMap<QString, QString> snapshot(const QString& root);
// The names at the top level of folder, hidden ones included, sorted.
QStringList topLevel(const QString& folder);
// Sets an item's modification time without following a link.
void setModified(const QString& path, std::int64_t seconds, long nanoseconds = 0);
