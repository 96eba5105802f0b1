#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

#include "platform/path.h"

// The history folder holds the records "N.run", and anything may be put there: a link, a
// pipe, a device, a file of any size. Only what could be a record is ever opened, and
// never so that it blocks or follows a link.

// The largest record read or written: a run of a million moves writes about 150 MB. A run
// whose record would grow beyond it stops at the move that does not fit.
constexpr qint64 maxRecordBytes = qint64(512) << 20;

// The largest run number. Numbers count up from the highest in the folder; once a run has
// this one, no further run can be recorded (and, as a move that is not recorded is not
// made, none changes anything) until the records are moved away. At one run a minute
// that is two thousand years off; a file put there by hand is what gets there first.
constexpr int maxRunNumber = 999'999'999;

// The number a record's file name gives: "N.run" with N written as the program writes it
// (no sign, no leading zero) from 1 to maxRunNumber; 0 for any other name.
int runNumberOf(QByteArrayView fileName);
// The numbers of every name in folder that is one, in no order.
QList<int> runNumbersIn(const Path& folder);

// Opens path (flags: O_RDONLY, O_RDWR, or O_WRONLY | O_APPEND) when it is a regular file
// with one link and no larger than maxRecordBytes, without following a link or waiting on
// a pipe; -1 when it is not one or cannot be opened.
int openRecordFile(const Path& path, int flags);
// The whole text of an open record; nullopt when it is larger than maxRecordBytes.
std::optional<QByteArray> readRecordFile(int fd);
// At most bytes of an open record from offset on.
QByteArray readRecordPart(int fd, qint64 offset, qint64 bytes);
// The whole text of the record at path; nullopt when it is no record or too large.
std::optional<QByteArray> readRecordAt(const Path& path);
