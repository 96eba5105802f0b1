#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <ostream>

#include "platform/name_list.h"
#include "platform/path.h"

// Lets GoogleTest print texts, paths (and lists of them) readably in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const Path& path, std::ostream* os) {
    *os << '"' << path.display().toStdString() << '"';
}

// The path a test names as text, by its UTF-8 bytes.
inline Path asPath(const QString& text) { return Path::fromText(text); }

// A listing or a list of paths as texts to compare, each shown as Path::display() shows it.
inline QStringList displayed(const NameList& names) {
    QStringList texts;
    for (std::size_t i = 0; i < names.size(); ++i) texts << displayName(names.at(i));
    return texts;
}
inline QStringList displayed(const QList<Path>& paths) {
    QStringList texts;
    for (const Path& path : paths) texts << path.display();
    return texts;
}

// The text of a path whose bytes are UTF-8, as the tests name their paths, and back.
inline QString text(const Path& path) { return QString::fromUtf8(path.bytes()); }
inline QStringList texts(const QList<Path>& paths) {
    QStringList list;
    for (const Path& path : paths) list << text(path);
    return list;
}
inline QList<Path> paths(const QStringList& texts) {
    QList<Path> list;
    for (const QString& text : texts) list << Path::fromText(text);
    return list;
}
