#include "names/name_rules.h"

std::optional<QString> replacedName(const QString& name, const QString& find,
                                    const QString& replacement, bool ignoreCase) {
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (find.isEmpty() || !name.contains(find, cs)) return std::nullopt;
    return QString(name).replace(find, replacement, cs);
}

QString caseChanged(const QString& name, bool upper) {
    return upper ? name.toUpper() : name.toLower();
}
