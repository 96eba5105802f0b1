#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <vector>

// The names of one folder listing, packed for folders of a million items: all names in
// one buffer, each with an eight-byte entry (where it starts, how long it is, whether it
// is a folder). A list of QByteArray would cost over fifty bytes a name beyond the name.
class NameList {
  public:
    // Names longer than 65535 bytes cannot come from a folder listing (Linux allows 255).
    void append(QByteArrayView name, bool isDirectory);
    void reserve(std::size_t names, std::size_t bytes);

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    QByteArrayView at(std::size_t i) const {
        const Entry& e = entries_[i];
        return QByteArrayView(buffer_.data() + e.begin, e.length);
    }
    // A copy of the name, to keep or to join to a path.
    QByteArray name(std::size_t i) const { return at(i).toByteArray(); }
    bool isDirectory(std::size_t i) const { return entries_[i].isDirectory; }

    // Orders the names by their bytes, as every listing of this program is ordered.
    void sortByBytes();
    // Keeps the names for which keep(name, isDirectory) is true, in their order.
    template <typename Keep>
    void retain(Keep keep) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (keep(at(i), entries_[i].isDirectory)) entries_[kept++] = entries_[i];
        entries_.resize(kept);
    }

  private:
    struct Entry {
        std::uint32_t begin;
        std::uint16_t length;
        bool isDirectory;
    };
    std::vector<char> buffer_;
    std::vector<Entry> entries_;
};
