#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <atomic>

#include "platform/path.h"

// Reads a property list, XML or binary, into Qt values: dictionaries become QVariantMap,
// arrays QVariantList, strings QString, integers qint64, booleans bool, reals double,
// dates QDateTime, data QByteArray. Anything unreadable, nested more than 64 levels deep,
// or holding more than 100,000 values (a value that several references share counted
// at each of them), gives an invalid QVariant, as does a read stopped by cancel.
QVariant parsePropertyList(const QByteArray& bytes, const std::atomic_bool* cancel = nullptr);
// The dictionary at the top of a property-list file or resource (":/..."); empty when it
// is missing, unreadable or not a dictionary. Only a regular file (a link to one too) of
// at most 1 MB is read: never a FIFO or a device, so a hostile bundle cannot make it wait
// or read without end. cancel, when given and set, stops the read (an empty result).
QVariantMap readPropertyListDictionary(const Path& path, const std::atomic_bool* cancel = nullptr);
