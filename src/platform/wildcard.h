#pragma once

#include <QString>
#include <string>
#include <string_view>

// Wildcard texts: "*" matches any run of characters (also none), "?" exactly one
// character, every other character itself. A pattern must match the whole text.
// Characters are Unicode code points; ignoring case compares their case folding.
bool isLike(const QString& text, const QString& pattern);
bool isCaseInsensitiveLike(const QString& text, const QString& pattern);

// A pattern prepared once and matched against many texts, as a directory walk does.
class WildcardPattern {
  public:
    WildcardPattern() = default;
    WildcardPattern(const QString& pattern, Qt::CaseSensitivity sensitivity);

    bool matches(const QString& text) const;
    // The same for a name as the file system gives it: its bytes, read as UTF-8. Bytes
    // that are not part of a character read as unknown characters (U+FFFD), which "*" and
    // "?" match; the decoding serves the match only, and the name is found again by its
    // bytes. Plain ASCII names, the common case, are matched
    // without decoding.
    bool matchesUtf8(std::string_view name) const;

  private:
    std::u32string pattern_;    // folded when case is ignored
    std::string asciiPattern_;  // the same, when it is all ASCII
    bool ascii_ = false;
    bool ignoreCase_ = false;
};
