#include "runs/record_text.h"

#include <array>
#include <cstring>

#include "platform/path.h"

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The bytes that stand for themselves inside quotes: printable ASCII but the quote and
// the backslash.
constexpr std::array<bool, 256> plainBytes = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x7F; ++c) plain[std::size_t(c)] = c != '"' && c != '\\';
    return plain;
}();

}  // namespace

QByteArray quoted(const QByteArray& bytes) {
    QByteArray text;
    appendQuoted(text, bytes);
    return text;
}

char* writeQuoted(char* out, QByteArrayView bytes) {
    static const char digits[] = "0123456789abcdef";
    *out++ = '"';
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    for (const char* p = begin; p != end;) {
        // Printable ASCII, the bulk of most names, goes in whole runs.
        const char* plain = p;
        while (plain != end && plainBytes[static_cast<unsigned char>(*plain)]) ++plain;
        if (plain != p) {
            std::memcpy(out, p, std::size_t(plain - p));
            out += plain - p;
            p = plain;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x80) {
            if (const qsizetype length = utf8SequenceLength(bytes, p - begin)) {
                std::memcpy(out, p, std::size_t(length));
                out += length;
                p += length;
                continue;
            }
        }
        ++p;
        *out++ = '\\';
        switch (c) {
            case '\\':
            case '"':
                *out++ = char(c);
                continue;
            case '\n':
                *out++ = 'n';
                continue;
            case '\t':
                *out++ = 't';
                continue;
            case '\r':
                *out++ = 'r';
                continue;
        }
        *out++ = 'x';
        *out++ = digits[c >> 4];
        *out++ = digits[c & 0xF];
    }
    *out++ = '"';
    return out;
}

void appendQuoted(QByteArray& text, QByteArrayView bytes) {
    appendWritten(text, quotedLimit(bytes.size()),
                  [&](char* out) { return writeQuoted(out, bytes); });
}

std::optional<QList<QByteArray>> splitWords(QByteArrayView line) {
    QList<QByteArray> words;
    qsizetype i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        QByteArray word;
        if (line[i] != '"') {
            while (i < line.size() && line[i] != ' ') word += line[i++];
            words << word;
            continue;
        }
        ++i;
        bool closed = false;
        while (i < line.size()) {
            const char c = line[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                word += c;
                continue;
            }
            if (i >= line.size()) return std::nullopt;
            const char escape = line[i++];
            switch (escape) {
                case '\\':
                    word += '\\';
                    break;
                case '"':
                    word += '"';
                    break;
                case 'n':
                    word += '\n';
                    break;
                case 't':
                    word += '\t';
                    break;
                case 'r':
                    word += '\r';
                    break;
                case 'x': {
                    if (i + 2 > line.size()) return std::nullopt;
                    const int high = hexValue(line[i]), low = hexValue(line[i + 1]);
                    if (high < 0 || low < 0) return std::nullopt;
                    word += char(high * 16 + low);
                    i += 2;
                    break;
                }
                default:
                    return std::nullopt;
            }
        }
        if (!closed) return std::nullopt;
        words << word;
    }
    return words;
}
