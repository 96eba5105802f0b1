#include "runs/listed_inodes.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <algorithm>

namespace {

// A filing reads a folder and the category folders in it; more are not worth keeping.
constexpr std::size_t keptListings = 32;

bool listsItsInodes(const Path& folder) {
    struct statfs fs;
    if (::statfs(folder.c_str(), &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case EXT4_SUPER_MAGIC:  // ext2 and ext3 too
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
        case F2FS_SUPER_MAGIC:
            return true;
        default:
            return false;
    }
}

std::optional<ItemIdentity> lstatIdentity(const Path& path) {
    struct statx item;
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_INO, &item) !=
        0)
        return std::nullopt;
    return ItemIdentity{makedev(item.stx_dev_major, item.stx_dev_minor), item.stx_ino};
}

}  // namespace

void ListedInodes::remember(const Path& folder, const NameList& names) {
    std::erase_if(listings_, [&](const Listing& l) { return l.folder == folder; });
    std::size_t sample = 0;
    while (sample < names.size() && names.isDirectory(sample)) ++sample;
    if (sample == names.size() || !listsItsInodes(folder)) return;
    // The first item that is no folder, as lstat sees it, vouches for the listing and
    // gives the device of them all.
    const std::optional<ItemIdentity> item = lstatIdentity(folder / names.name(sample));
    if (!item || item->inode != names.listedInode(sample)) return;
    if (listings_.size() == keptListings) listings_.pop_front();
    lastFound_ = listings_.size();
    listings_.push_back({folder, item->device, names, std::vector<bool>(names.size())});
}

ListedInodes::Listing* ListedInodes::find(const Path& path, std::size_t& index,
                                          std::size_t lookAhead) {
    // Split without copies, as Path::parent() and fileName() would for a path made of a
    // folder and a name; any other spelling finds no listing, and is asked about.
    const QByteArray& bytes = path.bytes();
    const qsizetype slash = lastSlash(bytes);
    if (slash <= 0 || slash == bytes.size() - 1) return nullptr;
    const QByteArrayView folder(bytes.constData(), slash);
    Listing* listing = nullptr;
    if (lastFound_ < listings_.size() && listings_[lastFound_].folder.bytes() == folder)
        listing = &listings_[lastFound_];
    for (std::size_t i = listings_.size(); !listing && i-- > 0;)
        if (listings_[i].folder.bytes() == folder) {
            lastFound_ = i;
            listing = &listings_[i];
        }
    if (!listing) return nullptr;
    const QByteArrayView name = QByteArrayView(bytes).sliced(slash + 1);
    const NameList& names = listing->names;
    index = names.size();
    const std::size_t ahead = std::min(names.size(), listing->next + lookAhead);
    for (std::size_t i = listing->next; i < ahead; ++i)
        if (names.at(i) == name) {
            index = i;
            break;
        }
    if (index == names.size()) index = listing->search(name);
    if (index >= names.size()) return nullptr;
    listing->next = index + 1;
    return listing;
}

std::size_t ListedInodes::Listing::search(QByteArrayView name) {
    // A name change asks for every new name, which the listing never has: past a few, a
    // hash of the listing answers in a probe where a binary search takes twenty steps.
    // Filing seldom searches, and keeps its memory.
    const std::size_t enough = names.size() / 8 + 16;
    if (searches < enough) {
        if (++searches < enough) return names.find(name);
        byName.reset(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) byName.insert(hashOf(names.at(i)), int(i));
    }
    const int found =
        byName.find(hashOf(name), [&](int i) { return names.at(std::size_t(i)) == name; });
    return found < 0 ? names.size() : std::size_t(found);
}

std::optional<ItemIdentity> ListedInodes::take(const Path& path) {
    std::size_t i = 0;
    // Moves follow the listing, often skipping a few names (filing goes category by
    // category): a short look ahead spares most searches.
    Listing* listing = find(path, i, 16);
    if (!listing || listing->spent[i] || listing->names.isDirectory(i) ||
        listing->names.listedInode(i) == 0)
        return std::nullopt;
    listing->spent[i] = true;
    return ItemIdentity{listing->device, listing->names.listedInode(i)};
}

void ListedInodes::changed(const Path& path) {
    if (listings_.empty()) return;
    if (std::erase_if(listings_, [&](const Listing& l) { return l.folder.isAtOrBelow(path); }))
        lastFound_ = 0;
    std::size_t i = 0;
    // Mostly a new name, which no look ahead finds.
    if (Listing* listing = find(path, i, 1)) listing->spent[i] = true;
}
