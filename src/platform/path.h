#pragma once

#include <QByteArray>
#include <QHashFunctions>
#include <QString>
#include <cstdint>
#include <cstring>
#include <optional>

// A file-system path as the kernel sees it: a run of bytes, any but NUL, with "/" between
// the names. Linux gives names no encoding, and archives from other systems bring names
// that are not UTF-8, so paths are kept as bytes from the folder listing to the system
// call. Text exists only at the edges: display() for people, and fromText()/toText() for
// paths the user typed or the settings file holds.
class Path {
  public:
    Path() = default;
    explicit Path(QByteArray bytes) : bytes_(std::move(bytes)) {}
    explicit Path(const char* bytes) : bytes_(bytes) {}

    // A path typed by the user or read from the settings: its UTF-8 bytes.
    static Path fromText(const QString& text) { return Path(text.toUtf8()); }
    // The text of a path whose bytes are UTF-8; nullopt for any other.
    std::optional<QString> toText() const;
    // The text for people: the UTF-8 decoding, with each byte that is not part of a
    // valid character, and each control character, written as \xHH, and a backslash
    // doubled (\\), so that "\xFF" typed in a name never looks like the byte 0xFF. Never
    // used to find an item again.
    QString display() const;

    const QByteArray& bytes() const { return bytes_; }
    const char* c_str() const { return bytes_.constData(); }
    bool isEmpty() const { return bytes_.isEmpty(); }
    bool isAbsolute() const { return bytes_.startsWith('/'); }

    // The last name; a trailing "/" is ignored, and "/" stays "/".
    QByteArray fileName() const { return name().toByteArray(); }
    // The same, without a copy: valid while the path is.
    QByteArrayView name() const;
    // The folder that holds the last name; empty for a bare name, "/" for "/a".
    Path parent() const;
    // The same path without "." names, doubled or trailing "/" and names undone by a
    // following "..", as QDir::cleanPath makes it; links are not resolved. "/.." is "/",
    // a relative path that cleans to nothing is ".".
    Path cleaned() const;
    // This folder joined with name by a "/", added only when the folder lacks one.
    Path operator/(QByteArrayView name) const;
    // Whether this path is folder or lies below it, and whether it lies below it only, by
    // their bytes as spelled: neither is cleaned and no link is followed ("/a/bc" is not
    // below "/a/b"; everything absolute is below "/"). Nothing is below an empty path.
    bool isAtOrBelow(const Path& folder) const;
    bool isBelow(const Path& folder) const;

    friend bool operator==(const Path& a, const Path& b) { return a.bytes_ == b.bytes_; }
    friend bool operator!=(const Path& a, const Path& b) { return a.bytes_ != b.bytes_; }
    friend bool operator<(const Path& a, const Path& b) { return a.bytes_ < b.bytes_; }

  private:
    QByteArray bytes_;
};

inline size_t qHash(const Path& path, size_t seed = 0) { return qHash(path.bytes(), seed); }

// Appends what write(out) writes at out to text, where it has room for limit chars; write
// returns the end of what it wrote. A line built so costs one resize, not an append a part.
template <typename Write>
void appendWritten(QByteArray& text, qsizetype limit, Write write) {
    const qsizetype at = text.size();
    text.resize(at + limit);
    text.resize(write(text.data() + at) - text.constData());
}

// Where the last "/" in bytes is, -1 when there is none. A run splits a path or two for
// every item; memrchr does it several times faster than QByteArray::lastIndexOf.
inline qsizetype lastSlash(QByteArrayView bytes) {
    if (bytes.isEmpty()) return -1;
    const void* slash = ::memrchr(bytes.data(), '/', std::size_t(bytes.size()));
    return slash ? static_cast<const char*>(slash) - bytes.data() : -1;
}

// Whether every byte is ASCII, and whether one is an ASCII capital: eight bytes at a time,
// as a name change asks it of every name in every pass.
struct AsciiScan {
    bool ascii;
    bool capital;
};
inline AsciiScan asciiScan(QByteArrayView bytes) {
    constexpr std::uint64_t ones = 0x0101010101010101, highs = 0x8080808080808080;
    std::uint64_t seen = 0, capitals = 0;
    const char* at = bytes.data();
    qsizetype left = bytes.size();
    for (; left >= 8; at += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, at, 8);
        seen |= word;
        // In a byte below 0x80 nothing carries: its high bit becomes "at least 'A'", and
        // in the second sum "above 'Z'". What it gives for other bytes is not used.
        capitals |= (word + ones * (0x80 - 'A')) & ~(word + ones * (0x80 - 'Z' - 1));
    }
    bool capital = (capitals & highs) != 0;
    for (; left > 0; ++at, --left) {
        seen |= static_cast<unsigned char>(*at);
        capital |= *at >= 'A' && *at <= 'Z';
    }
    return {(seen & highs) == 0, capital};
}

// Whether bytes are valid UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool isValidUtf8(QByteArrayView bytes);
// The length of the valid UTF-8 sequence starting at bytes[i], or 0 when none starts there.
qsizetype utf8SequenceLength(QByteArrayView bytes, qsizetype i);
// Bytes as text that gives them all back: their UTF-8 decoding, with each byte that is not
// part of a character kept as the lone surrogate U+DC80 to U+DCFF (as Python's
// surrogateescape does), which no UTF-8 text decodes to. The command line's arguments and
// the names in JSON are such text; bytesOfText gives back exactly the bytes.
QString textKeepingBytes(QByteArrayView bytes);
QByteArray bytesOfText(const QString& text);
// A name for people, as Path::display() shows one.
QString displayName(QByteArrayView name);
