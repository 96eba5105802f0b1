#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// The text of a run record is lines of words. A word that holds a path is quoted so that
// any name survives the round trip, byte for byte: "..." with \\, \", \n, \t, \r and \xHH
// for every other control byte and every byte that is not part of valid UTF-8. Valid UTF-8
// stays as it is, so the record reads as the names look.
QByteArray quoted(const QByteArray& bytes);
// The same, added to the end of out.
void appendQuoted(QByteArray& out, QByteArrayView bytes);
// The same, written at out, which has room for quotedLimit(bytes.size()) chars; returns
// the end of what it wrote. A line of a run's record is built this way in one piece.
char* writeQuoted(char* out, QByteArrayView bytes);
constexpr qsizetype quotedLimit(qsizetype size) { return 4 * size + 2; }  // each byte as \xHH

// The words of one line: plain words end at a space, quoted ones are decoded. nullopt for
// a line that is cut short or badly quoted (the last line of a record whose writer died
// may be half written).
std::optional<QList<QByteArray>> splitWords(QByteArrayView line);
