#include "platform/name_list.h"

#include <algorithm>
#include <cstring>

void NameList::append(QByteArrayView name, bool isDirectory) {
    const std::size_t begin = buffer_.size();
    buffer_.insert(buffer_.end(), name.begin(), name.end());
    entries_.push_back(
        {static_cast<std::uint32_t>(begin), static_cast<std::uint16_t>(name.size()), isDirectory});
}

void NameList::reserve(std::size_t names, std::size_t bytes) {
    entries_.reserve(names);
    buffer_.reserve(bytes);
}

void NameList::sortByBytes() {
    const char* data = buffer_.data();
    std::sort(entries_.begin(), entries_.end(), [data](const Entry& a, const Entry& b) {
        const int c = std::memcmp(data + a.begin, data + b.begin, std::min(a.length, b.length));
        return c != 0 ? c < 0 : a.length < b.length;
    });
}
