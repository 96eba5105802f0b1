#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include "platform/path.h"

// Reads a property list, XML or binary, into Qt values: dictionaries become QVariantMap,
// arrays QVariantList, strings QString, integers qint64, booleans bool, reals double,
// dates QDateTime, data QByteArray. Anything unreadable, or nested more than 64 levels
// deep, gives an invalid QVariant.
QVariant parsePropertyList(const QByteArray& bytes);
// The dictionary at the top of a property-list file or resource (":/..."); empty when it
// is missing, unreadable or not a dictionary. Only a regular file (a link to one too) of
// at most 1 MB is read: never a FIFO or a device, so a hostile bundle cannot make it wait
// or read without end.
QVariantMap readPropertyListDictionary(const Path& path);
