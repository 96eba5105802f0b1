#include "platform/name_list.h"

#include <algorithm>
#include <cstring>

void NameList::append(QByteArrayView name, bool isDirectory, std::uint64_t inode) {
    const std::size_t begin = buffer_.size();
    buffer_.insert(buffer_.end(), name.begin(), name.end());
    entries_.push_back({static_cast<std::uint32_t>(begin), static_cast<std::uint16_t>(name.size()),
                        isDirectory, inode});
}

void NameList::reserve(std::size_t names, std::size_t bytes) {
    entries_.reserve(names);
    buffer_.reserve(bytes);
}

namespace {

// Byte order, a shorter name before a longer one it begins.
bool before(QByteArrayView a, QByteArrayView b) {
    const int c = std::memcmp(a.data(), b.data(), std::size_t(std::min(a.size(), b.size())));
    return c != 0 ? c < 0 : a.size() < b.size();
}

}  // namespace

void NameList::sortByBytes() {
    const char* data = buffer_.data();
    std::sort(entries_.begin(), entries_.end(), [data](const Entry& a, const Entry& b) {
        return before(QByteArrayView(data + a.begin, a.length),
                      QByteArrayView(data + b.begin, b.length));
    });
}

std::size_t NameList::find(QByteArrayView name) const {
    std::size_t low = 0, high = entries_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (before(at(middle), name))
            low = middle + 1;
        else
            high = middle;
    }
    return low < entries_.size() && at(low) == name ? low : entries_.size();
}
