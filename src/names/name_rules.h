#pragma once

#include <QString>
#include <optional>

// The rules that make an item's new name, free of any file system. Each rule that can
// leave a name alone returns nullopt then, so the run skips the item.

// Every occurrence of find replaced, scanning from left to right without overlaps. With
// ignoreCase, letters match by Unicode case folding (Ä matches ä, Σ matches σ and ς).
// An occurrence replaced by itself still counts. find must not be empty.
std::optional<QString> replacedName(const QString& name, const QString& find,
                                    const QString& replacement, bool ignoreCase);

// A prefix or suffix: the running number, the text, the running number again, each part
// only when it is on. Numbers are decimal, unpadded, counting from 0.
struct Affix {
    bool numberFirst = false;
    bool textOn = false;
    QString text;
    bool numberLast = false;

    bool isOn() const { return numberFirst || textOn || numberLast; }
    QString at(int index) const;
};

// The name without its spaces (U+0020 only; tabs and other white space stay).
std::optional<QString> withoutSpaces(const QString& name);
// The name without the digits 0 to 9 (other scripts' digits stay).
std::optional<QString> withoutDigits(const QString& name);
// The whole name, extension included, in upper or lower case (Unicode case mapping).
QString caseChanged(const QString& name, bool upper);
