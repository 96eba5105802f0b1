// FolderWatcher's settling: which items are due, which of them are still being written
// or stand in for a download, and the batches handed to the filer.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

#include "watch/folder_watcher.h"
#include "watch/open_writers.h"

namespace {

constexpr qint64 never = std::numeric_limits<qint64>::max();
// While another run holds a folder, the watch tries again this often.
constexpr qint64 busyRetry = 1000;
// Items about to settle this soon after others are handed over with them.
constexpr qint64 longestGather = 500;

FileId idOf(const struct stat& status) {
    return {std::uint64_t(status.st_dev), std::uint64_t(status.st_ino)};
}

// The files of the tree under the folder open at fd (which this closes), on its device,
// links not followed.
void addFilesBelow(int fd, dev_t device, QList<FileId>& files) {
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
            files.append(idOf(status));
        } else if (S_ISDIR(status.st_mode) && status.st_dev == device) {
            const int inner =
                ::openat(::dirfd(folder), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (inner >= 0) addFilesBelow(inner, device, files);
        }
    }
    ::closedir(folder);
}

// Whether a download is still writing into name's partial sibling (name.part, ...), as
// far as the folder's events tell.
bool hasPartialSibling(const QHash<QByteArray, QByteArray>& partials, const QByteArray& name) {
    return std::any_of(partials.cbegin(), partials.cend(),
                       [&](const QByteArray& finished) { return finished == name; });
}

}  // namespace

void FolderWatcher::settleNow() {
    timer_.stop();
    const qint64 now = clock();
    qint64 next = never;
    // The items due now, folder by folder, with the files each holds: those of item i are
    // files[filesFrom[i]] up to files[filesFrom[i + 1]].
    struct Ready {
        int id;
        QList<QByteArray> names;
        QList<qsizetype> filesFrom;
        QList<FileId> files;
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
        qint64 oldestDue = never, nextDue = never;
        for (const Item& item : std::as_const(f.pending)) {
            const qint64 at = item.due(settle_);
            if (at <= now)
                oldestDue = std::min(oldestDue, at);
            else
                nextDue = std::min(nextDue, at);
        }
        // Items that arrive together are filed together: while more are about to settle,
        // look again a little later (not at each of them), but never later than a settle
        // time after the first.
        const qint64 gather = std::min(settle_, longestGather);
        if (oldestDue != never && nextDue != never && nextDue - now <= gather &&
            now < oldestDue + settle_) {
            next = std::min(next, std::min(oldestDue + settle_, now + gather));
            continue;
        }
        next = std::min(next, nextDue);
        if (oldestDue == never) continue;
        QList<QByteArray> due;
        for (auto item = f.pending.cbegin(); item != f.pending.cend(); ++item)
            if (item->due(settle_) <= now) due.append(item.key());
        Ready batch{it.key(), {}, {}, {}};
        for (const QByteArray& name : std::as_const(due)) {
            const Path path = f.path / name;
            struct stat status;
            if (::lstat(path.c_str(), &status) != 0) {
                forgetItem(it.key(), name);  // gone before it settled
                continue;
            }
            // An empty file beside its download in progress: the download is the item, and
            // it comes under this name once it is complete.
            if (S_ISREG(status.st_mode) && status.st_size == 0 &&
                hasPartialSibling(f.partials, name)) {
                forgetItem(it.key(), name);
                f.seen.insert(name);
                f.placeholders.insert(name);
                continue;
            }
            batch.names.append(name);
            batch.filesFrom.append(batch.files.size());
            if (S_ISREG(status.st_mode)) batch.files.append(idOf(status));
            if (S_ISDIR(status.st_mode)) {
                const int fd =
                    ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (fd >= 0) addFilesBelow(fd, status.st_dev, batch.files);
            }
        }
        batch.filesFrom.append(batch.files.size());
        for (const FileId& file : std::as_const(batch.files)) candidates.insert(file);
        if (!batch.names.isEmpty()) ready.append(std::move(batch));
    }

    const QSet<FileId> writing = filesOpenForWriting(candidates);
    bool stopping = false;
    for (const Ready& batch : std::as_const(ready)) {
        Folder& f = folders_[batch.id];
        QList<QByteArray> names;
        for (qsizetype i = 0; i < batch.names.size(); ++i) {
            const auto first = batch.files.cbegin() + batch.filesFrom.at(i);
            const auto last = batch.files.cbegin() + batch.filesFrom.at(i + 1);
            if (std::none_of(first, last,
                             [&](const FileId& file) { return writing.contains(file); })) {
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
