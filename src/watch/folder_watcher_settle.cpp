// FolderWatcher's settling: which items are due, which of them are still being written
// or stand in for a download, and the batches handed to the filer.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>

#include "watch/folder_watcher.h"
#include "watch/open_writers.h"
#include "watch/partial_names.h"

namespace {

constexpr qint64 never = std::numeric_limits<qint64>::max();
// While another run holds a folder, the watch tries again this often.
constexpr qint64 busyRetry = 1000;
// Items about to settle this soon after others are handed over with them.
constexpr qint64 longestGather = 1000;

FileId idOf(const struct stat& status) {
    return {std::uint64_t(status.st_dev), std::uint64_t(status.st_ino)};
}

// The files of the tree under the folder open at fd (which this closes), on its device,
// links not followed.
void addFilesBelow(int fd, dev_t device, QSet<FileId>& files) {
    DIR* folder = ::fdopendir(fd);
    if (!folder) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        struct stat status;
        if (::fstatat(::dirfd(folder), name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(status.st_mode)) {
            files.insert(idOf(status));
        } else if (S_ISDIR(status.st_mode) && status.st_dev == device) {
            const int inner =
                ::openat(::dirfd(folder), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (inner >= 0) addFilesBelow(inner, device, files);
        }
    }
    ::closedir(folder);
}

// Whether a download is still writing into name's partial sibling (name.part, ...).
bool hasPartialSibling(const Path& folder, const QByteArray& name) {
    struct stat status;
    for (const QByteArray& suffix : partialSuffixes())
        if (::lstat((folder / (name + suffix)).c_str(), &status) == 0) return true;
    return false;
}

}  // namespace

void FolderWatcher::settleNow() {
    timer_.stop();
    const qint64 now = clock();
    qint64 next = never;
    // The items due now, folder by folder, with the files each holds.
    struct Ready {
        int id;
        QList<QByteArray> names;
        QList<QSet<FileId>> files;
    };
    QList<Ready> ready;
    QSet<FileId> candidates;
    for (auto it = folders_.begin(); it != folders_.end(); ++it) {
        Folder& f = *it;
        if (!f.present || f.pending.isEmpty()) continue;
        if (f.retryAt > now) {
            next = std::min(next, f.retryAt);
            continue;
        }
        QList<QByteArray> due;
        qint64 oldestDue = never, nextDue = never;
        for (auto item = f.pending.cbegin(); item != f.pending.cend(); ++item) {
            const qint64 at = item->due(settle_);
            if (at <= now) {
                due.append(item.key());
                oldestDue = std::min(oldestDue, at);
            } else {
                nextDue = std::min(nextDue, at);
            }
        }
        next = std::min(next, nextDue);
        // Items that arrive together are filed together: while more are about to settle,
        // wait for them, but never longer than one settle time more.
        if (due.isEmpty()) continue;
        if (nextDue != never && nextDue - now <= std::min(settle_, longestGather) &&
            now < oldestDue + settle_) {
            next = std::min(next, std::min(nextDue, oldestDue + settle_));
            continue;
        }
        Ready batch{it.key(), {}, {}};
        for (const QByteArray& name : std::as_const(due)) {
            const Path path = f.path / name;
            struct stat status;
            if (::lstat(path.c_str(), &status) != 0) {
                forgetItem(it.key(), name);  // gone before it settled
                continue;
            }
            // An empty file beside its download in progress: the download is the item, and
            // it comes under this name once it is complete.
            if (S_ISREG(status.st_mode) && status.st_size == 0 && hasPartialSibling(f.path, name)) {
                forgetItem(it.key(), name);
                f.seen.insert(name);
                f.placeholders.insert(name);
                continue;
            }
            QSet<FileId> files;
            if (S_ISREG(status.st_mode)) files.insert(idOf(status));
            if (S_ISDIR(status.st_mode)) {
                const int fd =
                    ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (fd >= 0) addFilesBelow(fd, status.st_dev, files);
            }
            candidates.unite(files);
            batch.names.append(name);
            batch.files.append(std::move(files));
        }
        if (!batch.names.isEmpty()) ready.append(std::move(batch));
    }

    const QSet<FileId> writing = filesOpenForWriting(candidates);
    bool stopping = false;
    for (const Ready& batch : std::as_const(ready)) {
        Folder& f = folders_[batch.id];
        QList<QByteArray> names;
        for (qsizetype i = 0; i < batch.names.size(); ++i) {
            if (!batch.files.at(i).intersects(writing)) {
                names.append(batch.names.at(i));
                continue;
            }
            Item& item = f.pending[batch.names.at(i)];
            item.notBefore = now + writerBackoff(item.writerLooks++);
            next = std::min(next, item.notBefore);
        }
        if (names.isEmpty() || stopping) continue;
        const BatchFiler::Outcome outcome = filer_.fileBatch(f.path, names);
        Folder& after = folders_[batch.id];
        switch (outcome) {
            case BatchFiler::Outcome::Done:
                for (const QByteArray& name : std::as_const(names)) {
                    forgetItem(batch.id, name);
                    // What stayed is left alone; what moved away is forgotten by its event.
                    after.seen.insert(name);
                }
                after.toldBusy = false;
                break;
            case BatchFiler::Outcome::FolderBusy:
                after.retryAt = clock() + busyRetry;
                next = std::min(next, after.retryAt);
                if (!after.toldBusy)
                    warn_(QStringLiteral("Another Desktidy run is changing %1; its new items "
                                         "are filed when it has finished.")
                              .arg(after.path.display()));
                after.toldBusy = true;
                break;
            case BatchFiler::Outcome::Stopped:
                stopping = true;
                break;
        }
    }
    if (next != never && !stopping) scheduleAt(next);
}
