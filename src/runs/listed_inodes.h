#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "platform/name_list.h"
#include "platform/name_table.h"
#include "platform/path.h"
#include "runs/run_record.h"

// The inodes that a run's own folder listings gave (d_ino), so that writing down a move
// need not ask the file system for its item's inode: the listing read them for nothing,
// and an lstat per item costs a fifth of the move itself.
// An undo trusts the inode to tell that an item was not replaced, so one is given out only
// where the listing's inode is the item's: on a local file system whose listings are known
// to give it (ext4, xfs, btrfs, tmpfs, f2fs; never a stacked or network one), never for a
// folder (a mount point or a btrfs subvolume lists the inode beneath it), and only for a
// folder whose first item lstat has confirmed. Each is given out once, and a name that
// anything of this run has changed since the listing is not given out.
class ListedInodes {
  public:
    // Keeps the listing of folder, made just now, when its inodes can be trusted.
    void remember(const Path& folder, const NameList& names);
    // The identity of the item at path as listed; nullopt when it must be asked for.
    std::optional<ItemIdentity> take(const Path& path);
    // Something of this run changed path: a listing no longer says what is there, nor
    // what is in it or below it.
    void changed(const Path& path);
    void clear() {
        listings_.clear();
        lastFound_ = 0;
    }

  private:
    struct Listing {
        Path folder;
        std::uint64_t device;
        NameList names;
        std::vector<bool> spent;   // given out, or changed since
        std::size_t next = 0;      // after the last name found: a run's moves follow the listing
        std::size_t searches = 0;  // past the look ahead
        NameTable byName;          // made once searches are many
        // Where name is in names; names.size() when it is not there.
        std::size_t search(QByteArrayView name);
    };
    // The listing that holds path's name, and where; nullptr when there is none. The
    // lookAhead names after the last one found are tried before a search.
    Listing* find(const Path& path, std::size_t& index, std::size_t lookAhead);
    std::deque<Listing> listings_;  // the newest last
    std::size_t lastFound_ = 0;     // where listingOf found the last one: moves come in runs
};
