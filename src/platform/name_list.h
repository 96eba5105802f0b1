#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSharedData>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

// The names of one folder listing, packed for folders of a million items: all names in
// one buffer, each with a sixteen-byte entry (where it starts, how long it is, whether it
// is a folder, the inode the listing gave). A list of QByteArray would cost over fifty
// bytes a name beyond the name. Copies share the names until one of them changes, so that
// a plan and the run's record can keep the listing they were made from for nothing.
class NameList {
  public:
    // Names longer than 65535 bytes cannot come from a folder listing (Linux allows 255).
    // inode is the listing's (d_ino), 0 when not known.
    void append(QByteArrayView name, bool isDirectory, std::uint64_t inode = 0);
    void reserve(std::size_t names, std::size_t bytes);

    std::size_t size() const { return d_->entries.size(); }
    bool empty() const { return d_->entries.empty(); }
    QByteArrayView at(std::size_t i) const {
        const Entry& e = d_->entries[i];
        return QByteArrayView(d_->buffer.data() + e.begin, e.length);
    }
    // A copy of the name, to keep or to join to a path.
    QByteArray name(std::size_t i) const { return at(i).toByteArray(); }
    bool isDirectory(std::size_t i) const { return d_->entries[i].isDirectory; }
    // What the folder listing said; the item's own (lstat) inode may differ, for a mount
    // point and on some stacked file systems.
    std::uint64_t listedInode(std::size_t i) const { return d_->entries[i].inode; }
    // Where name is in a list ordered by sortByBytes; size() when it is not there.
    std::size_t find(QByteArrayView name) const;

    // Orders the names by their bytes, as every listing of this program is ordered.
    void sortByBytes();
    // Calls same(i, j) for each name that this list has at i and other at j, both ordered
    // by sortByBytes: one walk through the two, for lists of a million names.
    template <typename Same>
    void forEachCommon(const NameList& other, Same same) const {
        std::size_t i = 0, j = 0;
        while (i < size() && j < other.size()) {
            if (before(at(i), other.at(j)))
                ++i;
            else if (before(other.at(j), at(i)))
                ++j;
            else
                same(i++, j++);
        }
    }
    // The order of sortByBytes: byte by byte, a shorter name before a longer one it begins.
    // Inline and eight bytes at a time: sorting a large folder's listing compares names
    // some twenty times each, and a call to memcmp cost more than the short names it read.
    static bool before(QByteArrayView a, QByteArrayView b) {
        const std::size_t common = std::size_t(std::min(a.size(), b.size()));
        std::size_t i = 0;
        for (; i + 8 <= common; i += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, a.data() + i, 8);
            std::memcpy(&y, b.data() + i, 8);
            if (x == y) continue;
            if constexpr (std::endian::native == std::endian::little)
                return __builtin_bswap64(x) < __builtin_bswap64(y);
            return x < y;
        }
        for (; i < common; ++i)
            if (a[qsizetype(i)] != b[qsizetype(i)])
                return static_cast<unsigned char>(a[qsizetype(i)]) <
                       static_cast<unsigned char>(b[qsizetype(i)]);
        return a.size() < b.size();
    }
    // Keeps the names for which keep(name, isDirectory) is true, in their order. A list that
    // keeps them all stays shared with its copies.
    template <typename Keep>
    void retain(Keep keep) {
        const std::vector<Entry>& all = std::as_const(d_)->entries;
        std::size_t kept = 0;
        while (kept < all.size() && keep(at(kept), all[kept].isDirectory)) ++kept;
        if (kept == all.size()) return;
        std::vector<Entry>& entries = d_->entries;
        for (std::size_t i = kept + 1; i < entries.size(); ++i)
            if (keep(at(i), entries[i].isDirectory)) entries[kept++] = entries[i];
        entries.resize(kept);
    }

  private:
    struct Entry {
        std::uint32_t begin;
        std::uint16_t length;
        bool isDirectory;
        std::uint64_t inode;
    };
    struct Data : QSharedData {
        std::vector<char> buffer;
        std::vector<Entry> entries;
    };
    QSharedDataPointer<Data> d_{new Data};
};
