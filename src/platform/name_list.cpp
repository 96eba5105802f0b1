#include "platform/name_list.h"

#include <algorithm>
#include <cstring>

void NameList::append(QByteArrayView name, bool isDirectory, std::uint64_t inode) {
    Data& d = *d_;
    const std::size_t begin = d.buffer.size();
    d.buffer.insert(d.buffer.end(), name.begin(), name.end());
    d.entries.push_back({static_cast<std::uint32_t>(begin), static_cast<std::uint16_t>(name.size()),
                         isDirectory, inode});
}

void NameList::reserve(std::size_t names, std::size_t bytes) {
    d_->entries.reserve(names);
    d_->buffer.reserve(bytes);
}

void NameList::sortByBytes() {
    Data& d = *d_;
    const char* data = d.buffer.data();
    std::sort(d.entries.begin(), d.entries.end(), [data](const Entry& a, const Entry& b) {
        return before(QByteArrayView(data + a.begin, a.length),
                      QByteArrayView(data + b.begin, b.length));
    });
}

std::size_t NameList::find(QByteArrayView name) const {
    const std::size_t count = size();
    std::size_t low = 0, high = count;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (before(at(middle), name))
            low = middle + 1;
        else
            high = middle;
    }
    return low < count && at(low) == name ? low : count;
}
