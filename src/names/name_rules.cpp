#include "names/name_rules.h"

std::optional<QString> replacedName(const QString& name, const QString& find,
                                    const QString& replacement, bool ignoreCase) {
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (find.isEmpty() || !name.contains(find, cs)) return std::nullopt;
    return QString(name).replace(find, replacement, cs);
}

QString Affix::at(int index) const {
    const QString number = QString::number(index);
    QString affix;
    if (numberFirst) affix += number;
    if (textOn) affix += text;
    if (numberLast) affix += number;
    return affix;
}

namespace {

template <typename Predicate>
std::optional<QString> without(const QString& name, Predicate drop) {
    QString kept;
    kept.reserve(name.size());
    for (QChar c : name)
        if (!drop(c)) kept += c;
    if (kept.size() == name.size()) return std::nullopt;
    return kept;
}

}  // namespace

std::optional<QString> withoutSpaces(const QString& name) {
    return without(name, [](QChar c) { return c == u' '; });
}

std::optional<QString> withoutDigits(const QString& name) {
    return without(name, [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QString caseChanged(const QString& name, bool upper) {
    return upper ? name.toUpper() : name.toLower();
}
