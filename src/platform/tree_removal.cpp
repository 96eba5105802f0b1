#include "platform/tree_removal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/disk_changes.h"
#include "platform/file_system.h"

namespace {

// Descriptors held open down the branch being removed. Folders above them are closed and
// found again through "..", checked against their device and inode.
constexpr std::size_t openFoldersKept = 32;
constexpr qsizetype leftEntriesKept = 100;

FileError failure(int code, const Path& path, const QString& what) {
    return {code, path,
            QStringLiteral("Could not %1 \u201c%2\u201d: %3.")
                .arg(what, path.display(), QString::fromLocal8Bit(std::strerror(code)))};
}

FileError changedMeanwhile(const Path& path) {
    return {EAGAIN, path,
            QStringLiteral("\u201c%1\u201d changed while it was being removed and was left as "
                           "it is.")
                .arg(path.display())};
}

// What lstat says of name in the folder dirfd (of dirfd itself with AT_EMPTY_PATH), as far
// as a removal needs it: 0 or an errno value.
int look(int dirfd, const char* name, int flags, FileStatus& seen) {
    struct statx stx;
    if (::statx(dirfd, name, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_INO,
                &stx) == 0) {
        seen.kind = S_ISDIR(stx.stx_mode) ? FileStatus::Kind::Directory : FileStatus::Kind::Other;
        seen.device = makedev(stx.stx_dev_major, stx.stx_dev_minor);
        seen.inode = stx.stx_ino;
        seen.mountRoot = (stx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
                         (stx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
        return 0;
    }
    if (errno != ENOSYS && errno != EPERM) return errno;  // EPERM: a seccomp filter
    struct stat st;
    if (::fstatat(dirfd, name, &st, flags | AT_SYMLINK_NOFOLLOW) != 0) return errno;
    seen.kind = S_ISDIR(st.st_mode) ? FileStatus::Kind::Directory : FileStatus::Kind::Other;
    seen.device = st.st_dev;
    seen.inode = st.st_ino;
    seen.mountRoot = false;
    return 0;
}

// Every name in the open folder fd, in byte order, each marked as a possible folder unless
// the listing says it is something else. 0 or an errno value.
int readNames(int fd, NameList& names) {
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        const int error = errno;
        if (copy >= 0) ::close(copy);
        return error;
    }
    errno = 0;
    while (dirent* entry = ::readdir(dir)) {
        const char* n = entry->d_name;
        if (n[0] != '.' || (n[1] != 0 && (n[1] != '.' || n[2] != 0)))
            names.append(QByteArrayView(n, qsizetype(std::strlen(n))),
                         entry->d_type == DT_DIR || entry->d_type == DT_UNKNOWN);
        errno = 0;  // readdir reports an error only through errno
    }
    const int error = errno;
    ::closedir(dir);
    names.sortByBytes();
    return error;
}

class TreeWalk {
  public:
    TreeWalk(const Path& top, const TreeRemovalHooks& hooks) : top_(top), hooks_(hooks) {}
    ~TreeWalk() {
        for (const Folder& folder : stack_)
            if (folder.fd >= 0) ::close(folder.fd);
        if (topParent_ >= 0) ::close(topParent_);
    }

    TreeRemoval run() {
        const QByteArray name = top_.fileName();
        if (name.isEmpty() || name == "/" || name == "." || name == "..") {
            leave(failure(EINVAL, top_, QStringLiteral("remove")));
            return result_;
        }
        const Path parent = top_.parent();
        topParent_ =
            ::open(parent.isEmpty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (topParent_ < 0) {
            leave(failure(errno, top_, QStringLiteral("remove")));
            return result_;
        }
        removeEntry(topParent_, name, true);
        while (!stack_.empty()) {
            Folder& folder = stack_.back();
            if (folder.next == folder.names.size()) {
                finishFolder();
                continue;
            }
            const std::size_t i = folder.next++;
            removeEntry(folder.fd, folder.names.name(i), folder.names.isDirectory(i));
        }
        return result_;
    }

  private:
    struct Folder {
        QByteArray name;  // in the folder that holds it
        std::uint64_t device = 0, inode = 0;
        int fd = -1;  // -1 once closed to spare descriptors
        NameList names;
        std::size_t next = 0;
        bool keptSomething = false;
    };

    // Paths are built only to name an entry to the user or to the hook, never to reach it.
    Path pathOf(const QByteArray& name) const {
        if (stack_.empty()) return top_;
        QByteArray path = top_.bytes();
        for (std::size_t i = 1; i < stack_.size(); ++i) path += '/' + stack_[i].name;
        return Path(path + '/' + name);
    }

    void leave(const FileError& error) {
        if (result_.leftBehind.size() < leftEntriesKept) result_.leftBehind << error;
        ++result_.leftCount;
        if (!stack_.empty()) stack_.back().keptSomething = true;
    }

    // Inside the tree, an entry gone meanwhile is no failure; the top item missing is.
    bool gone(int error) const { return error == ENOENT && !stack_.empty(); }

    void unlinkEntry(int dirfd, const QByteArray& name) {
        if (countedChange(::unlinkat(dirfd, name.constData(), 0)) != 0 && !gone(errno))
            leave(failure(errno, pathOf(name), QStringLiteral("remove")));
    }

    // Removes a name of the folder dirfd that is not a folder, or opens the folder it names
    // and puts it on the stack to be emptied.
    void removeEntry(int dirfd, const QByteArray& name, bool maybeFolder) {
        if (!maybeFolder) {
            if (countedChange(::unlinkat(dirfd, name.constData(), 0)) == 0 || gone(errno)) return;
            if (errno != EISDIR) {
                leave(failure(errno, pathOf(name), QStringLiteral("remove")));
                return;
            }
        }
        FileStatus seen;
        if (const int error = look(dirfd, name.constData(), 0, seen); error != 0) {
            if (!gone(error)) leave(failure(error, pathOf(name), QStringLiteral("remove")));
            return;
        }
        if (!seen.isDirectory()) return unlinkEntry(dirfd, name);
        const FileStatus looked = seen;  // what the folder opened must be
        if (hooks_.beforeEntering) hooks_.beforeEntering(pathOf(name), seen);
        if (stack_.empty() && !seen.mountRoot) device_ = seen.device;
        if (seen.device != device_ || seen.mountRoot) return leave(otherFileSystemAt(pathOf(name)));

        const int fd =
            ::openat(dirfd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            if (gone(errno)) return;
            // No longer a folder: something put a link or a file in its place meanwhile.
            if (errno == ELOOP || errno == ENOTDIR) return leave(changedMeanwhile(pathOf(name)));
            return leave(failure(errno, pathOf(name), QStringLiteral("open")));
        }
        FileStatus opened;
        if (look(fd, "", AT_EMPTY_PATH, opened) != 0 || opened.device != looked.device ||
            opened.inode != looked.inode || opened.mountRoot) {
            ::close(fd);
            return leave(changedMeanwhile(pathOf(name)));
        }
        Folder folder{name, looked.device, looked.inode, fd, {}, 0, false};
        if (const int error = readNames(fd, folder.names); error != 0) {
            ::close(fd);
            return leave(failure(error, pathOf(name), QStringLiteral("read")));
        }
        stack_.push_back(std::move(folder));
        if (stack_.size() > openFoldersKept) {
            int& spared = stack_[stack_.size() - 1 - openFoldersKept].fd;
            ::close(spared);
            spared = -1;
        }
    }

    // The folder on top of the stack is empty as far as it could be made so: removes it
    // from the folder that holds it.
    void finishFolder() {
        Folder done = std::move(stack_.back());
        stack_.pop_back();
        int parentFd = stack_.empty() ? topParent_ : stack_.back().fd;
        if (parentFd < 0 && !reopenParent(done)) {
            ::close(done.fd);
            return;
        }
        parentFd = stack_.empty() ? topParent_ : stack_.back().fd;
        ::close(done.fd);
        if (done.keptSomething) {
            if (!stack_.empty()) stack_.back().keptSomething = true;
            return;
        }
        if (countedChange(::unlinkat(parentFd, done.name.constData(), AT_REMOVEDIR)) != 0 &&
            !gone(errno))
            leave(failure(errno, pathOf(done.name), QStringLiteral("remove")));
    }

    // Opens again the folder on top of the stack, closed to spare descriptors, as the parent
    // of the open folder child. When that is no longer the same folder (the tree was moved
    // meanwhile), the walk stops there and the rest stays.
    bool reopenParent(const Folder& child) {
        Folder& parent = stack_.back();
        const int fd = ::openat(child.fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        FileStatus seen;
        if (fd >= 0 && look(fd, "", AT_EMPTY_PATH, seen) == 0 && seen.device == parent.device &&
            seen.inode == parent.inode) {
            parent.fd = fd;
            return true;
        }
        if (fd >= 0) ::close(fd);
        const Path where = pathOf(child.name);
        leave({EAGAIN, where,
               QStringLiteral("\u201c%1\u201d was moved while it was being removed; what is "
                              "left of it stays.")
                   .arg(where.display())});
        for (const Folder& folder : stack_)
            if (folder.fd >= 0) ::close(folder.fd);
        stack_.clear();
        return false;
    }

    const Path top_;
    const TreeRemovalHooks& hooks_;
    std::uint64_t device_ = 0;
    int topParent_ = -1;
    std::vector<Folder> stack_;
    TreeRemoval result_;
};

}  // namespace

FileError TreeRemoval::summary() const {
    if (ok()) return {};
    FileError first = leftBehind.first();
    if (leftCount == 2)
        first.message += QStringLiteral(" 1 more item could not be removed either.");
    else if (leftCount > 2)
        first.message +=
            QStringLiteral(" %1 more items could not be removed either.").arg(leftCount - 1);
    return first;
}

TreeRemoval removeTree(const Path& path, const TreeRemovalHooks& hooks) {
    return TreeWalk(path, hooks).run();
}
