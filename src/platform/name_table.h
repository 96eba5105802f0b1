#pragma once

#include <QByteArrayView>
#include <QHashFunctions>
#include <cstdint>
#include <vector>

inline std::size_t hashOf(QByteArrayView name) { return qHash(name, QHashSeed::globalSeed()); }

// Items by name: open addressing with linear probing over slots that hold a name's hash
// (hashOf) and an item. Nothing is taken out: the caller's holds(item) says whether the item still
// has the name looked for, so the slot a rename leaves behind simply stops matching. Every
// slot of a hash lies between the hash's home slot and the next empty one, so a lookup
// sees them all. Kept small and reused, since fresh memory costs more than the probing.
class NameTable {
  public:
    // Empties the table, with room for at least names entries.
    void reset(std::size_t names) {
        std::size_t capacity = 16;
        while (capacity * 4 / 5 < names) capacity *= 2;
        if (capacity <= slots_.size())
            std::fill(slots_.begin(), slots_.end(), Slot{});
        else
            slots_.assign(capacity, Slot{});
        used_ = 0;
    }
    bool hasRoomFor(std::size_t names) const { return used_ + names <= slots_.size() * 4 / 5; }
    void insert(std::size_t hash, int item) {
        std::size_t i = hash & mask();
        while (slots_[i].item != 0) i = (i + 1) & mask();
        slots_[i] = {tagOf(hash), std::uint32_t(item) + 1};
        ++used_;
    }
    // The first item of a slot of hash that holds the name, or -1.
    template <typename Holds>
    int find(std::size_t hash, Holds holds) const {
        const std::uint32_t tag = tagOf(hash);
        for (std::size_t i = hash & mask(); slots_[i].item != 0; i = (i + 1) & mask())
            if (slots_[i].tag == tag && holds(int(slots_[i].item - 1)))
                return int(slots_[i].item - 1);
        return -1;
    }

  private:
    struct Slot {
        std::uint32_t tag = 0;   // the hash's high bits: nearly every other name fails here
        std::uint32_t item = 0;  // the item + 1; 0 for an empty slot
    };
    static std::uint32_t tagOf(std::size_t hash) {
        return std::uint32_t(hash >> (sizeof(std::size_t) * 4));
    }
    std::size_t mask() const { return slots_.size() - 1; }
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};
