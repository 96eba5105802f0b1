#include "runs/record_text.h"

#include "platform/path.h"

namespace {

// The length of the UTF-8 character that starts at i, 0 when the bytes there are not one.
qsizetype characterLength(QByteArrayView bytes, qsizetype i) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    const qsizetype length = (lead >> 5) == 0x6    ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
    if (length == 0 || i + length > bytes.size()) return 0;
    return isValidUtf8(bytes.sliced(i, length)) ? length : 0;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

QByteArray quoted(const QByteArray& bytes) {
    QByteArray text;
    appendQuoted(text, bytes);
    return text;
}

void appendQuoted(QByteArray& text, QByteArrayView bytes) {
    static const char digits[] = "0123456789abcdef";
    text += '"';
    for (qsizetype i = 0; i < bytes.size();) {
        // Printable ASCII, the bulk of most names, goes in whole runs.
        qsizetype plain = i;
        while (plain < bytes.size() && bytes[plain] >= 0x20 && bytes[plain] < 0x7F &&
               bytes[plain] != '"' && bytes[plain] != '\\')
            ++plain;
        if (plain > i) {
            appendBytes(text, bytes.sliced(i, plain - i));
            i = plain;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x80) {
            if (const qsizetype length = characterLength(bytes, i)) {
                appendBytes(text, bytes.sliced(i, length));
                i += length;
                continue;
            }
        }
        ++i;
        switch (c) {
            case '\\':
                text += "\\\\";
                continue;
            case '"':
                text += "\\\"";
                continue;
            case '\n':
                text += "\\n";
                continue;
            case '\t':
                text += "\\t";
                continue;
            case '\r':
                text += "\\r";
                continue;
        }
        text += "\\x";
        text += digits[c >> 4];
        text += digits[c & 0xF];
    }
    text += '"';
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
