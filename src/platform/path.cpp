#include "platform/path.h"

#include <QList>
#include <cstring>

qsizetype utf8SequenceLength(QByteArrayView bytes, qsizetype i) {
    const auto byte = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + length > bytes.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (qsizetype k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return length;
}

namespace {

void appendEscaped(QString& text, unsigned char byte) {
    static const char digits[] = "0123456789ABCDEF";
    text += QLatin1String("\\x");
    text += QLatin1Char(digits[byte >> 4]);
    text += QLatin1Char(digits[byte & 0xF]);
}

}  // namespace

bool isValidUtf8(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype n = utf8SequenceLength(bytes, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

QString displayName(QByteArrayView name) {
    QString text;
    text.reserve(name.size());
    qsizetype runStart = 0;  // start of the valid run not yet decoded
    auto flush = [&](qsizetype end) {
        if (end > runStart) text += QString::fromUtf8(name.sliced(runStart, end - runStart));
    };
    for (qsizetype i = 0; i < name.size();) {
        const unsigned char byte = static_cast<unsigned char>(name[i]);
        const qsizetype n = utf8SequenceLength(name, i);
        if (byte == '\\') {
            // Doubled, so that a backslash and the "x" and digits after it never read as
            // an escaped byte.
            flush(i);
            text += QLatin1String("\\\\");
            runStart = ++i;
        } else if (n == 0 || byte < 0x20 || byte == 0x7F) {
            flush(i);
            appendEscaped(text, byte);
            runStart = ++i;
        } else {
            i += n;
        }
    }
    flush(name.size());
    return text;
}

std::optional<QString> Path::toText() const {
    if (!isValidUtf8(bytes_)) return std::nullopt;
    return QString::fromUtf8(bytes_);
}

QString Path::display() const { return displayName(bytes_); }

QByteArrayView Path::name() const {
    qsizetype end = bytes_.size();
    while (end > 1 && bytes_[end - 1] == '/') --end;
    if (end == 1 && bytes_[0] == '/') return "/";
    const qsizetype slash = lastSlash(QByteArrayView(bytes_).first(end));
    return QByteArrayView(bytes_).sliced(slash + 1, end - slash - 1);
}

Path Path::parent() const {
    qsizetype end = bytes_.size();
    while (end > 1 && bytes_[end - 1] == '/') --end;
    const qsizetype slash = lastSlash(QByteArrayView(bytes_).first(end));
    if (slash < 0) return Path();
    if (slash == 0) return Path(QByteArray("/"));
    return Path(bytes_.left(slash));
}

Path Path::cleaned() const {
    if (bytes_.isEmpty()) return Path();
    const bool absolute = isAbsolute();
    QList<QByteArrayView> names;
    for (qsizetype start = 0; start <= bytes_.size();) {
        qsizetype end = bytes_.indexOf('/', start);
        if (end < 0) end = bytes_.size();
        const QByteArrayView name(bytes_.constData() + start, end - start);
        if (name == "..") {
            if (!names.isEmpty() && names.last() != "..")
                names.removeLast();
            else if (!absolute)
                names.append(name);  // a relative path may climb above its start
        } else if (!name.isEmpty() && name != ".") {
            names.append(name);
        }
        start = end + 1;
    }
    QByteArray clean;
    clean.reserve(bytes_.size());
    for (QByteArrayView name : names) {
        if (absolute || !clean.isEmpty()) clean.append('/');
        clean.append(name);
    }
    if (clean.isEmpty()) clean = absolute ? QByteArray("/") : QByteArray(".");
    return Path(std::move(clean));
}

Path Path::operator/(QByteArrayView name) const {
    // One allocation and two copies: a run joins a path for every item it moves.
    const bool slash = bytes_.isEmpty() || bytes_.back() != '/';
    QByteArray joined(bytes_.size() + slash + name.size(), Qt::Uninitialized);
    char* out = joined.data();
    std::memcpy(out, bytes_.constData(), std::size_t(bytes_.size()));
    out += bytes_.size();
    if (slash) *out++ = '/';
    if (!name.isEmpty()) std::memcpy(out, name.data(), std::size_t(name.size()));
    return Path(std::move(joined));
}

bool Path::isAtOrBelow(const Path& folder) const {
    const QByteArray& f = folder.bytes_;
    if (f.isEmpty() || !bytes_.startsWith(f)) return false;
    return bytes_.size() == f.size() || f.endsWith('/') || bytes_.at(f.size()) == '/';
}

bool Path::isBelow(const Path& folder) const {
    return isAtOrBelow(folder) &&
           bytes_.size() > folder.bytes_.size() + (folder.bytes_.endsWith('/') ? 0 : 1);
}

QString textKeepingBytes(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    qsizetype runStart = 0;  // start of the valid run not yet decoded
    for (qsizetype i = 0; i < bytes.size();) {
        if (const qsizetype n = utf8SequenceLength(bytes, i)) {
            i += n;
            continue;
        }
        text += QString::fromUtf8(bytes.sliced(runStart, i - runStart));
        text += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes[i])));
        runStart = ++i;
    }
    text += QString::fromUtf8(bytes.sliced(runStart));
    return text;
}

QByteArray bytesOfText(const QString& text) {
    QByteArray bytes;
    qsizetype runStart = 0;  // start of the text not yet encoded
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;  // a character beyond the basic plane
        } else if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF) {
            bytes += QStringView(text).sliced(runStart, i - runStart).toUtf8();
            bytes += char(c.unicode() - 0xDC00);
            runStart = i + 1;
        }
    }
    bytes += QStringView(text).sliced(runStart).toUtf8();
    return bytes;
}
