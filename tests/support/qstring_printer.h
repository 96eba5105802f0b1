#pragma once

#include <QString>
#include <ostream>

// Lets GoogleTest print texts (and lists of them) readably in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
