#include "platform/property_list.h"

#include <fcntl.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

// Real property lists nest a few levels; a hostile one may nest without end, and both
// the conversion below and the library's binary reader recurse once per level.
constexpr int maxDepth = 64;
constexpr qint64 maxFileSize = 1024 * 1024;
// Info.plist files hold a few hundred values. A binary list may refer to one object from
// many places, which the library copies at each reference: a few hundred bytes of arrays
// that each refer twice to the next stand for 2^30 values. Values are counted as they
// would be read, each reference anew, and a list holding more is not read at all.
constexpr quint64 maxValues = 100'000;

// The values read so far, against maxValues, and the caller's wish to stop.
struct ReadBudget {
    const std::atomic_bool* cancel = nullptr;
    quint64 values = 0;

    // Counts one value; false once the budget is spent or the caller asked to stop.
    bool take() {
        if (++values > maxValues) return false;
        return !cancel || !cancel->load(std::memory_order_relaxed);
    }
};

QVariant scalarValue(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_STRING:
        case PLIST_KEY: {
            char* s = nullptr;
            if (plist_get_node_type(node) == PLIST_KEY)
                plist_get_key_val(node, &s);
            else
                plist_get_string_val(node, &s);
            QString text = QString::fromUtf8(s);
            std::free(s);
            return text;
        }
        case PLIST_UINT: {
            uint64_t v = 0;
            plist_get_uint_val(node, &v);
            return static_cast<qint64>(v);
        }
        case PLIST_BOOLEAN: {
            uint8_t v = 0;
            plist_get_bool_val(node, &v);
            return v != 0;
        }
        case PLIST_REAL: {
            double v = 0;
            plist_get_real_val(node, &v);
            return v;
        }
        case PLIST_DATE: {
            int32_t sec = 0, usec = 0;
            plist_get_date_val(node, &sec, &usec);
            // Property-list dates count from 2001-01-01 UTC.
            return QDateTime::fromSecsSinceEpoch(978307200LL + sec, Qt::UTC).addMSecs(usec / 1000);
        }
        case PLIST_DATA: {
            char* bytes = nullptr;
            uint64_t len = 0;
            plist_get_data_val(node, &bytes, &len);
            QByteArray data(bytes, static_cast<qsizetype>(len));
            std::free(bytes);
            return data;
        }
        default:
            return QVariant();
    }
}

// Converts node and everything in it; false when values nest deeper than maxDepth, or
// the budget runs out.
bool toVariant(plist_t node, int depth, ReadBudget& budget, QVariant& out) {
    if (depth > maxDepth || !budget.take()) return false;
    switch (plist_get_node_type(node)) {
        case PLIST_DICT: {
            QVariantMap map;
            plist_dict_iter it = nullptr;
            plist_dict_new_iter(node, &it);
            bool ok = true;
            for (;;) {
                char* key = nullptr;
                plist_t value = nullptr;
                plist_dict_next_item(node, it, &key, &value);
                if (!key) break;
                QVariant converted;
                ok = ok && toVariant(value, depth + 1, budget, converted);
                if (ok) map.insert(QString::fromUtf8(key), converted);
                std::free(key);
            }
            std::free(it);
            out = map;
            return ok;
        }
        case PLIST_ARRAY: {
            QVariantList list;
            const uint32_t n = plist_array_get_size(node);
            for (uint32_t i = 0; i < n; ++i) {
                QVariant converted;
                if (!toVariant(plist_array_get_item(node, i), depth + 1, budget, converted))
                    return false;
                list.append(converted);
            }
            out = list;
            return true;
        }
        default:
            out = scalarValue(node);
            return true;
    }
}

quint64 readBigEndian(const uchar* bytes, int size) {
    quint64 value = 0;
    for (int i = 0; i < size; ++i) value = (value << 8) | bytes[i];
    return value;
}

// Whether no value of a binary property list lies more than maxDepth containers deep and
// the list holds at most maxValues values, counting an object again at each reference,
// found before the library reads it: its reader recurses once per level, checks each
// level against all above it, and copies an object at each reference. Also false for a
// malformed list or one with a cycle.
bool binaryListIsBounded(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const quint64 size = static_cast<quint64>(bytes.size());
    if (size < 8 + 32) return false;
    const uchar* trailer = data + size - 32;
    const int offsetSize = trailer[6], refSize = trailer[7];
    const quint64 objects = readBigEndian(trailer + 8, 8);
    const quint64 top = readBigEndian(trailer + 16, 8);
    const quint64 table = readBigEndian(trailer + 24, 8);
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8 || top >= objects ||
        objects > size || table > size - 32 || objects * offsetSize > size - 32 - table)
        return false;

    const quint64 end = size - 32;  // objects and the offset table lie before the trailer

    // Where the references of an object start and how many it holds: none for anything
    // but arrays, sets and dictionaries (which hold a key and a value per entry).
    auto references = [&](quint64 object, quint64& first, quint64& count) {
        count = 0;
        const quint64 offset = readBigEndian(data + table + object * offsetSize, offsetSize);
        if (offset >= end) return false;
        const int type = data[offset] >> 4;
        if (type != 0xA && type != 0xC && type != 0xD) return true;
        quint64 length = data[offset] & 0xF;
        first = offset + 1;
        if (length == 0xF) {  // the length follows as an integer object
            if (first >= end || (data[first] >> 4) != 0x1 || (data[first] & 0xF) > 3) return false;
            const int lengthSize = 1 << (data[first] & 0xF);
            if (first + 1 + lengthSize > end) return false;
            length = readBigEndian(data + first + 1, lengthSize);
            first += 1 + lengthSize;
        }
        if (length > end) return false;
        count = type == 0xD ? 2 * length : length;
        return count <= (end - first) / refSize;
    };

    // Depth-first from the top object, each object entered once: an object seen before
    // adds the height and the number of values found for it then.
    constexpr uchar unseen = 0, open = 0xFF;
    std::vector<uchar> height(objects, unseen);  // levels from an object down, once known
    std::vector<quint64> values(objects, 0);     // values it stands for, once known
    struct Frame {
        quint64 object, first, count, next;
        uchar below;    // the greatest height among the references walked so far
        quint64 total;  // the object and the values of the references walked so far
    };
    std::vector<Frame> stack;
    auto enter = [&](quint64 object) {
        Frame frame{object, 0, 0, 0, 0, 1};
        if (height[object] == open || !references(object, frame.first, frame.count))
            return false;  // a cycle, or a malformed object
        height[object] = open;
        stack.push_back(frame);
        return stack.size() <= maxDepth + 1;
    };
    if (!enter(top)) return false;
    for (;;) {
        Frame& frame = stack.back();
        if (frame.next == frame.count) {
            const uchar own = static_cast<uchar>(frame.below + 1);
            height[frame.object] = own;
            values[frame.object] = frame.total;
            stack.pop_back();
            if (stack.empty()) return true;
            Frame& parent = stack.back();
            parent.below = std::max(parent.below, own);
            parent.total += frame.total;
            if (parent.total > maxValues) return false;
            continue;
        }
        const quint64 child = readBigEndian(data + frame.first + frame.next++ * refSize, refSize);
        if (child >= objects) return false;
        if (height[child] != unseen && height[child] != open) {
            if (stack.size() + height[child] > maxDepth + 1) return false;
            frame.below = std::max(frame.below, height[child]);
            frame.total += values[child];
            if (frame.total > maxValues) return false;
        } else if (!enter(child)) {
            return false;
        }
    }
}

// The contents of a regular file of at most maxFileSize bytes; nullopt for anything else.
// Neither a FIFO nor a device is ever read, nor opened in a way that could wait.
std::optional<QByteArray> readSmallRegularFile(const Path& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxFileSize)
        return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    // The item may have been swapped since the stat above.
    QByteArray bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= maxFileSize) {
        bytes.resize(maxFileSize + 1);
        qint64 total = 0;
        for (;;) {
            const ssize_t n = ::read(fd, bytes.data() + total, bytes.size() - total);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            total += n;
            if (total == bytes.size()) break;
        }
        bytes.resize(total);
    }
    ::close(fd);
    if (bytes.isEmpty() || bytes.size() > maxFileSize) return std::nullopt;
    return bytes;
}

}  // namespace

QVariant parsePropertyList(const QByteArray& bytes, const std::atomic_bool* cancel) {
    if (bytes.isEmpty()) return QVariant();
    if (bytes.startsWith("bplist00") && !binaryListIsBounded(bytes)) return QVariant();
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root);
    if (!root) return QVariant();
    QVariant value;
    ReadBudget budget{cancel};
    const bool converted = toVariant(root, 0, budget, value);
    plist_free(root);
    return converted ? value : QVariant();
}

QVariantMap readPropertyListDictionary(const Path& path, const std::atomic_bool* cancel) {
    if (path.bytes().startsWith(':')) {  // a resource built into the program
        QFile file(QString::fromUtf8(path.bytes()));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return parsePropertyList(file.readAll()).toMap();
    }
    const std::optional<QByteArray> bytes = readSmallRegularFile(path);
    return bytes ? parsePropertyList(*bytes, cancel).toMap() : QVariantMap();
}
