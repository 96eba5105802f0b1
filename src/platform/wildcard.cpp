#include "platform/wildcard.h"

#include <QChar>
#include <QList>

#include "platform/path.h"

namespace {

// Greedy matching that falls back to the last "*" on a mismatch: linear for the
// patterns of one "*" run each side, and never worse than text times pattern.
template <typename Char, typename Equal>
bool wildcardMatch(const Char* text, size_t textSize, const Char* pattern, size_t patternSize,
                   Equal equal) {
    constexpr size_t none = static_cast<size_t>(-1);
    size_t t = 0, p = 0, starPattern = none, starText = 0;
    while (t < textSize) {
        if (p < patternSize && pattern[p] == Char('*')) {
            starPattern = p++;
            starText = t;
        } else if (p < patternSize && (pattern[p] == Char('?') || equal(pattern[p], text[t]))) {
            ++p;
            ++t;
        } else if (starPattern != none) {
            p = starPattern + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < patternSize && pattern[p] == Char('*')) ++p;
    return p == patternSize;
}

std::u32string codePoints(const QString& text, bool fold) {
    std::u32string points;
    points.reserve(static_cast<size_t>(text.size()));
    for (char32_t c : text.toUcs4()) points.push_back(fold ? QChar::toCaseFolded(c) : c);
    return points;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

WildcardPattern::WildcardPattern(const QString& pattern, Qt::CaseSensitivity sensitivity)
    : pattern_(codePoints(pattern, sensitivity == Qt::CaseInsensitive)),
      ignoreCase_(sensitivity == Qt::CaseInsensitive) {
    ascii_ = true;
    for (char32_t c : pattern_) {
        if (c >= 0x80) {
            ascii_ = false;
            break;
        }
        asciiPattern_.push_back(static_cast<char>(c));
    }
    if (!ascii_) asciiPattern_.clear();
}

bool WildcardPattern::matches(const QString& text) const {
    const std::u32string t = codePoints(text, ignoreCase_);
    return wildcardMatch(t.data(), t.size(), pattern_.data(), pattern_.size(),
                         [](char32_t a, char32_t b) { return a == b; });
}

bool WildcardPattern::matchesUtf8(std::string_view name) const {
    // Non-ASCII letters can fold to ASCII ones (the Kelvin sign to "k"), so only an
    // all-ASCII name meets an all-ASCII pattern byte for byte.
    if (ascii_ && asciiScan(QByteArrayView(name.data(), qsizetype(name.size()))).ascii) {
        if (ignoreCase_)
            return wildcardMatch(name.data(), name.size(), asciiPattern_.data(),
                                 asciiPattern_.size(),
                                 [](char p, char t) { return p == asciiLower(t); });
        return wildcardMatch(name.data(), name.size(), asciiPattern_.data(), asciiPattern_.size(),
                             [](char p, char t) { return p == t; });
    }
    return matches(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

bool isLike(const QString& text, const QString& pattern) {
    return WildcardPattern(pattern, Qt::CaseSensitive).matches(text);
}

bool isCaseInsensitiveLike(const QString& text, const QString& pattern) {
    return WildcardPattern(pattern, Qt::CaseInsensitive).matches(text);
}
