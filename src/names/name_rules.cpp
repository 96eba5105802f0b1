#include "names/name_rules.h"

#include <iterator>

std::optional<QString> replacedName(const QString& name, const QString& find,
                                    const QString& replacement, bool ignoreCase) {
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (find.isEmpty() || !name.contains(find, cs)) return std::nullopt;
    return QString(name).replace(find, replacement, cs);
}

namespace {

qsizetype digitCount(int index) {
    qsizetype count = 1;
    for (unsigned value = unsigned(index); value >= 10; value /= 10) ++count;
    return count;
}

}  // namespace

QString Affix::at(int index) const {
    QString affix;
    appendTo(affix, index);
    return affix;
}

QString Affix::around(const QString& name, int index, bool atFront) const {
    QString result;
    result.reserve(name.size() + (textOn ? text.size() : 0) +
                   (int(numberFirst) + int(numberLast)) * digitCount(index));
    if (!atFront) result += name;
    appendTo(result, index);
    if (atFront) result += name;
    return result;
}

// Without a string per number: a run renames every item of a folder with one.
void Affix::appendTo(QString& out, int index) const {
    char16_t digits[12];
    char16_t* end = digits + std::size(digits);
    char16_t* begin = end;
    unsigned value = unsigned(index);
    do {
        *--begin = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    const QStringView number(begin, end - begin);
    if (numberFirst) out += number;
    if (textOn) out += text;
    if (numberLast) out += number;
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
