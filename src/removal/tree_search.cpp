#include "removal/tree_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace {

bool isDotOrDotDot(const char* n) {
    return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0));
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

class Walker {
  public:
    explicit Walker(const TreeSearch& search) : search_(search), found_(search.names.size()) {
        struct stat st;
        if (!search.skippedFolder.isEmpty() && ::lstat(search.skippedFolder.c_str(), &st) == 0) {
            hasSkipped_ = true;
            skippedDevice_ = st.st_dev;
            skippedInode_ = st.st_ino;
        }
    }

    std::vector<QList<Path>> run() {
        const QByteArray& root = search_.root.bytes();
        struct stat st;
        if (root.isEmpty() || ::lstat(root.constData(), &st) != 0 || isSkipped(st)) return found_;
        path_.assign(root.constData(), static_cast<size_t>(root.size()));
        rootDevice_ = st.st_dev;
        match(lastComponent(path_));
        if (S_ISDIR(st.st_mode) && search_.maxDepth > 0) {
            const int folder =
                ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (folder >= 0) walk(folder, 1);
        }
        return found_;
    }

  private:
    static std::string_view lastComponent(std::string_view path) {
        while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
        const size_t slash = path.rfind('/');
        return (slash == std::string_view::npos || path.size() == 1) ? path
                                                                     : path.substr(slash + 1);
    }

    bool isSkipped(const struct stat& st) const {
        return hasSkipped_ && st.st_dev == skippedDevice_ && st.st_ino == skippedInode_;
    }

    // Records the current path for every pattern its name matches. The Trash check needs
    // an lstat, made only for the few names that match.
    void match(std::string_view name, int folder = AT_FDCWD, const char* entry = nullptr) {
        bool checked = false;
        for (size_t i = 0; i < search_.names.size(); ++i) {
            if (!search_.names[i].matchesUtf8(name)) continue;
            if (!checked && entry && hasSkipped_) {
                struct stat st;
                if (::fstatat(folder, entry, &st, AT_SYMLINK_NOFOLLOW) == 0 && isSkipped(st))
                    return;
            }
            checked = true;
            found_[i].append(Path(QByteArray(path_.data(), static_cast<qsizetype>(path_.size()))));
        }
    }

    void walk(int folder, int depth) {
        DIR* dir = ::fdopendir(folder);
        if (!dir) {
            ::close(folder);
            return;
        }
        // Names and their types, sorted, so the order does not depend on the file system.
        std::string names;
        std::vector<std::pair<size_t, unsigned char>> entries;  // offset in names, type
        while (dirent* e = ::readdir(dir)) {
            if (search_.cancel && search_.cancel->load(std::memory_order_relaxed)) break;
            if (isDotOrDotDot(e->d_name)) continue;
            entries.emplace_back(names.size(), e->d_type);
            names.append(e->d_name);
            names.push_back('\0');
        }
        std::sort(entries.begin(), entries.end(), [&names](const auto& a, const auto& b) {
            return std::string_view(names.data() + a.first) <
                   std::string_view(names.data() + b.first);
        });

        const size_t parentLength = path_.size();
        const int fd = ::dirfd(dir);
        for (const auto& [offset, type] : entries) {
            if (search_.cancel && search_.cancel->load(std::memory_order_relaxed)) break;
            const char* name = names.data() + offset;
            if (path_.back() != '/') path_.push_back('/');
            path_.append(name);
            match(name, fd, name);
            if (depth < search_.maxDepth && (type == DT_DIR || type == DT_UNKNOWN))
                enter(fd, name, depth);
            path_.resize(parentLength);
        }
        ::closedir(dir);
    }

    void enter(int parent, const char* name, int depth) {
        struct stat st;
        if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode)) return;
        if (st.st_dev != rootDevice_ || isSkipped(st)) return;
        const int child = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child >= 0) walk(child, depth + 1);
    }

    const TreeSearch& search_;
    std::vector<QList<Path>> found_;
    std::string path_;
    dev_t rootDevice_ = 0;
    bool hasSkipped_ = false;
    dev_t skippedDevice_ = 0;
    ino_t skippedInode_ = 0;
};

}  // namespace

NameMatcher::NameMatcher(const QString& text, bool wholeName)
    : folded_(text.toCaseFolded()), wholeName_(wholeName) {
    const QByteArray bytes = folded_.toUtf8();
    if (isAscii(std::string_view(bytes.constData(), size_t(bytes.size()))))
        asciiText_ = bytes.toStdString();
}

bool NameMatcher::matchesUtf8(std::string_view name) const {
    // Non-ASCII letters can fold to ASCII ones (the Kelvin sign to "k"), so only an
    // ASCII name is compared byte by byte.
    if (!asciiText_.empty() && isAscii(name)) {
        std::string lower(name);
        std::transform(lower.begin(), lower.end(), lower.begin(), asciiLower);
        return wholeName_ ? lower == asciiText_ : lower.find(asciiText_) != std::string::npos;
    }
    const QString text =
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toCaseFolded();
    return wholeName_ ? text == folded_ : text.contains(folded_);
}

std::vector<QList<Path>> searchTree(const TreeSearch& search) { return Walker(search).run(); }
