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

// The whole name, extension included, in upper or lower case (Unicode case mapping).
QString caseChanged(const QString& name, bool upper);
