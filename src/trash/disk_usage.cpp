#include "trash/disk_usage.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <unordered_set>

namespace {

struct InodeKey {
    dev_t device;
    ino_t inode;
    bool operator==(const InodeKey&) const = default;
};

struct InodeHash {
    size_t operator()(const InodeKey& k) const {
        return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(k.inode) * 31u + k.device);
    }
};

// Walks with one open descriptor per level, so no path is ever built or re-resolved.
class UsageCounter {
  public:
    explicit UsageCounter(const std::atomic_bool* cancel) : cancel_(cancel) {}

    std::int64_t blocks = 0;  // 512-byte blocks

    // Counts an item once; false when it was met before.
    bool count(const struct stat& st) {
        const bool shared = S_ISDIR(st.st_mode) || st.st_nlink > 1;
        if (shared && !seen_.insert({st.st_dev, st.st_ino}).second) return false;
        blocks += st.st_blocks;
        return true;
    }

    void walk(int folder) {
        DIR* dir = ::fdopendir(folder);
        if (!dir) {
            ::close(folder);
            return;
        }
        while (dirent* entry = ::readdir(dir)) {
            if (cancel_ && cancel_->load(std::memory_order_relaxed)) break;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
            struct stat st;
            if (::fstatat(::dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            if (!count(st) || !S_ISDIR(st.st_mode)) continue;
            const int child =
                ::openat(::dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0) walk(child);
        }
        ::closedir(dir);
    }

  private:
    const std::atomic_bool* cancel_;
    std::unordered_set<InodeKey, InodeHash> seen_;
};

}  // namespace

std::int64_t diskUsageKilobytes(const Path& path, const std::atomic_bool* cancel) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return 0;
    UsageCounter counter(cancel);
    counter.count(st);
    if (S_ISDIR(st.st_mode)) {
        const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (folder >= 0) counter.walk(folder);
    }
    return (counter.blocks + 1) / 2;
}
