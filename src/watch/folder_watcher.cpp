#include "watch/folder_watcher.h"

#include <sys/inotify.h>
#include <sys/stat.h>

#include <QMetaObject>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>

#include "platform/file_system.h"
#include "watch/mount_changes.h"
#include "watch/partial_names.h"

namespace {

bool isFolder(const Path& path, struct stat& status) {
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The top of a mounted file system: its parent lies on another device.
bool isMountRoot(const Path& path, const struct stat& status) {
    struct stat above;
    return ::stat(path.parent().c_str(), &above) == 0 && above.st_dev != status.st_dev;
}

// The nearest folder above path that is there.
Path nearestFolderAbove(const Path& path) {
    struct stat status;
    Path above = path.parent();
    while (!isFolder(above, status) && above.bytes() != "/" && !above.isEmpty())
        above = above.parent();
    return above;
}

}  // namespace

FolderWatcher::FolderWatcher(BatchFiler& filer, std::function<void(const QString&)> warn)
    : filer_(filer), warn_(std::move(warn)) {
    clock = [] {
        return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count());
    };
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { settleNow(); });
    if (const int error = inotify_.openError()) {
        warn_(error == EMFILE ? QStringLiteral("No folder can be watched: the limit on inotify "
                                               "instances is reached. Raise "
                                               "fs.inotify.max_user_instances.")
                              : QStringLiteral("No folder can be watched: inotify is not "
                                               "available (%1).")
                                    .arg(QString::fromLocal8Bit(std::strerror(error))));
        return;
    }
    ready_ = true;
    inotify_.onEvent = [this](const WatchEvent& event) {
        if (!admit || admit(event)) deliver(event);
    };
    mounts_ = std::make_unique<MountChanges>([this] { retryMissing(); });
}

FolderWatcher::~FolderWatcher() = default;

void FolderWatcher::setSettleTime(qint64 milliseconds) {
    settle_ = std::max<qint64>(milliseconds, 1);
    if (timer_.isActive()) scheduleAt(clock());  // the next item may be due sooner now
}

bool FolderWatcher::mayFile(QByteArrayView name) const {
    return !name.isEmpty() && !name.startsWith('.') && !isPartialName(name) &&
           !(leftAlone_ && leftAlone_(name));
}

void FolderWatcher::notePartial(Folder& folder, const QByteArray& name) {
    if (QByteArray finished = finishedNameOf(name); !finished.isEmpty())
        folder.partials.insert(name, std::move(finished));
}

int FolderWatcher::addWatch(const Path& path, const Owner& owner, bool followLink) {
    const int watch = inotify_.add(path, followLink);
    if (watch == -ENOSPC) warnLimit(path);
    if (watch >= 0) owners_[watch].append(owner);
    return watch;
}

void FolderWatcher::releaseWatch(int watch, int id, int kind) {
    const auto it = owners_.find(watch);
    if (it == owners_.end()) return;
    it->removeIf([&](const Owner& o) { return o.kind == kind && o.id == id; });
    if (!it->isEmpty()) return;
    owners_.erase(it);
    inotify_.remove(watch);
}

void FolderWatcher::warnLimit(const Path& path) {
    if (toldLimit_) return;
    toldLimit_ = true;
    warn_(QStringLiteral("%1 cannot be watched fully: the limit on inotify watches is reached. "
                         "Raise fs.inotify.max_user_watches (for example: sysctl "
                         "fs.inotify.max_user_watches=524288).")
              .arg(path.display()));
}

void FolderWatcher::setFolders(const QList<Path>& folders) {
    QList<Path> wanted;
    for (const Path& folder : folders)
        if (!wanted.contains(folder)) wanted << folder;
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (wanted.removeOne(it->path)) {
            ++it;
            continue;
        }
        for (const QByteArray& name : it->pending.keys()) forgetItem(it.key(), name);
        releaseWatch(it->watch, it.key(), Owner::Watched);
        releaseWatch(it->ancestorWatch, it.key(), Owner::Ancestor);
        it = folders_.erase(it);
    }
    for (const Path& folder : wanted) {
        const int id = nextId_++;
        folders_[id].path = folder;
        if (!attach(id)) {
            warn_(
                QStringLiteral("%1 is not there; it is watched once it is.").arg(folder.display()));
            waitForReturn(id);
        }
    }
}

void FolderWatcher::watchFile(const Path& file, std::function<void()> changed) {
    const int id = int(files_.size());
    files_.append({file.parent(), file.fileName(), std::move(changed)});
    (void)addWatch(file.parent(), {Owner::File, id}, true);
}

bool FolderWatcher::attach(int id) {
    Folder& f = folders_[id];
    struct stat status;
    if (!isFolder(f.path, status)) return false;
    const bool mountRoot = isMountRoot(f.path, status);
    if (f.everPresent && f.mountRoot && !mountRoot) return false;  // its file system is away
    const int watch = inotify_.add(f.path, true);
    if (watch == -ENOSPC) warnLimit(f.path);
    if (watch < 0) return false;
    for (const Owner& other : owners_.value(watch))
        if (other.kind == Owner::Watched) {
            warn_(QStringLiteral("%1 is the folder %2 under another name; it is watched once.")
                      .arg(f.path.display(), folders_.value(other.id).path.display()));
            f.present = f.everPresent = true;
            return true;
        }
    owners_[watch].append({Owner::Watched, id});
    releaseWatch(f.ancestorWatch, id, Owner::Ancestor);
    f.ancestorWatch = -1;
    f.watch = watch;
    f.present = true;
    if (!f.everPresent) f.mountRoot = mountRoot;
    // What is there already was there before the watch; only --existing files it.
    const NameList names = LocalFileSystem().listNames(f.path, false);
    f.partials.clear();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QByteArray name = names.name(i);
        notePartial(f, name);
        if (!mayFile(name)) continue;
        if (fileExisting_)
            arrive(id, name, names.isDirectory(i));
        else
            f.seen.insert(name);
    }
    warn_((f.everPresent ? QStringLiteral("Watching %1 again.") : QStringLiteral("Watching %1."))
              .arg(f.path.display()));
    f.everPresent = true;
    return true;
}

void FolderWatcher::waitForReturn(int id) {
    // The folders above may change between a look and the watch that follows it (a
    // folder made or removed there is told to no one yet), so after each watch the look
    // is made again, until it finds what the watch covers.
    for (int tries = 0; tries < 64; ++tries) {
        Folder& f = folders_[id];
        releaseWatch(f.ancestorWatch, id, Owner::Ancestor);
        f.ancestorWatch = -1;
        struct stat status;
        if (isFolder(f.path, status)) {
            if (attach(id)) return;
            // A mount point left without its file system is back only by a mount.
            if (isFolder(f.path, status)) return;
            continue;
        }
        const Path above = nearestFolderAbove(f.path);
        if (beforeWatchingAbove) beforeWatchingAbove(above);
        const int watch = addWatch(above, {Owner::Ancestor, id}, true);
        if (watch == -ENOENT || watch == -ENOTDIR) continue;  // gone before it was watched
        f.ancestor = above;
        f.ancestorWatch = watch;
        if (watch < 0 || (!isFolder(f.path, status) && nearestFolderAbove(f.path) == above)) return;
    }
}

void FolderWatcher::folderGone(int id, const QString& why) {
    Folder& f = folders_[id];
    if (!f.present) return;
    for (const QByteArray& name : f.pending.keys()) forgetItem(id, name);
    f.seen.clear();
    f.placeholders.clear();
    f.partials.clear();
    releaseWatch(f.watch, id, Owner::Watched);
    f.watch = -1;
    f.present = false;
    warn_(QStringLiteral("%1 %2; it is watched again when it is back.").arg(f.path.display(), why));
    if (!attach(id)) waitForReturn(id);
}

void FolderWatcher::retryMissing() {
    // A mount may also have covered the folder above that was watched for its return.
    for (auto it = folders_.begin(); it != folders_.end(); ++it)
        if (!it->present && !attach(it.key())) waitForReturn(it.key());
}

void FolderWatcher::rescan() {
    // Events were lost: what is there now is compared with what the watch knew.
    for (auto it = folders_.begin(); it != folders_.end(); ++it) {
        Folder& f = *it;
        if (!f.present) {
            if (!attach(it.key())) waitForReturn(it.key());
            continue;
        }
        const NameList names = LocalFileSystem().listNames(f.path, false);
        QSet<QByteArray> there;
        f.partials.clear();
        for (std::size_t i = 0; i < names.size(); ++i) {
            const QByteArray name = names.name(i);
            there.insert(name);
            notePartial(f, name);
            if (!mayFile(name)) continue;
            if (const auto item = f.pending.find(name); item != f.pending.end()) {
                touch(*item, true);
                if (item->isFolder) watchInside(it.key(), name, f.path / name);
            } else if (!f.seen.contains(name)) {
                arrive(it.key(), name, names.isDirectory(i));
            }
        }
        for (const QByteArray& name : f.pending.keys())
            if (!there.contains(name)) forgetItem(it.key(), name);
        f.seen.intersect(there);
        f.placeholders.intersect(there);
    }
    for (const WatchedFile& file : std::as_const(files_))
        if (file.changed) file.changed();
}

void FolderWatcher::deliver(const WatchEvent& event) {
    if (event.mask & IN_Q_OVERFLOW) return rescan();
    // A copy: a handler may change who listens.
    const QList<Owner> owners = owners_.value(event.watch);
    for (const Owner& owner : owners) {
        switch (owner.kind) {
            case Owner::Watched:
                if (folders_.contains(owner.id)) onFolderEvent(owner.id, event);
                break;
            case Owner::Ancestor:
                if (folders_.contains(owner.id)) onAncestorEvent(owner.id, event);
                break;
            case Owner::Inner:
                onInnerEvent(owner, event);
                break;
            case Owner::File:
                if (event.name == files_.at(owner.id).name &&
                    (event.mask & (IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE)) &&
                    !files_.at(owner.id).announced) {
                    // Told from the loop, once for a burst of writes.
                    files_[owner.id].announced = true;
                    QMetaObject::invokeMethod(
                        this,
                        [this, id = owner.id] {
                            files_[id].announced = false;
                            if (files_.at(id).changed) files_.at(id).changed();
                        },
                        Qt::QueuedConnection);
                }
                break;
        }
    }
    // The kernel has let go of the watch.
    if (event.mask & IN_IGNORED) owners_.remove(event.watch);
}

void FolderWatcher::onFolderEvent(int id, const WatchEvent& event) {
    if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED)) {
        const QString why = event.mask & IN_MOVE_SELF ? QStringLiteral("was moved or renamed")
                            : event.mask & IN_UNMOUNT ? QStringLiteral("was unmounted")
                                                      : QStringLiteral("was removed");
        return folderGone(id, why);
    }
    Folder& f = folders_[id];
    const QByteArray& name = event.name;
    if (name.isEmpty()) return;
    if (event.mask & (IN_MOVED_FROM | IN_DELETE)) {
        forgetItem(id, name);
        f.partials.remove(name);
        // A placeholder's download has ended one way or the other: look at it again.
        const QByteArray finished = finishedNameOf(name);
        struct stat status;
        if (!finished.isEmpty() && f.placeholders.remove(finished)) {
            f.seen.remove(finished);
            if (::lstat((f.path / finished).c_str(), &status) == 0)
                arrive(id, finished, S_ISDIR(status.st_mode));
        }
        return;
    }
    if (event.mask & (IN_CREATE | IN_MOVED_TO)) notePartial(f, name);
    if (!mayFile(name)) return;
    if (const auto item = f.pending.find(name); item != f.pending.end()) {
        touch(*item, event.mask & (IN_CLOSE_WRITE | IN_CREATE | IN_MOVED_TO));
        if ((event.mask & IN_ISDIR) && !item->isFolder) {
            item->isFolder = true;
            watchInside(id, name, f.path / name);
        }
        return;
    }
    if (!(event.mask & (IN_CREATE | IN_MOVED_TO))) return;  // a change to an item left alone
    // An item replaced under its own name (an editor saving) is no new item, unless it
    // stood in for a download.
    if (f.seen.contains(name) && !f.placeholders.contains(name)) return;
    f.seen.remove(name);
    f.placeholders.remove(name);
    arrive(id, name, event.mask & IN_ISDIR);
}

void FolderWatcher::onAncestorEvent(int id, const WatchEvent& event) {
    Folder& f = folders_[id];
    const bool ancestorGone =
        event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED);
    const bool onTheWay = (event.mask & (IN_CREATE | IN_MOVED_TO)) && !event.name.isEmpty() &&
                          f.path.isAtOrBelow(f.ancestor / event.name);
    if (!ancestorGone && !onTheWay) return;
    if (!attach(id)) waitForReturn(id);
}

void FolderWatcher::onInnerEvent(const Owner& owner, const WatchEvent& event) {
    const auto folder = folders_.find(owner.id);
    if (folder == folders_.end()) return;
    const auto item = folder->pending.find(owner.item);
    if (item == folder->pending.end()) return;
    if (event.mask & IN_IGNORED) {
        item->inner.removeOne(event.watch);
        return;
    }
    touch(*item, event.mask & IN_CLOSE_WRITE);
    if ((event.mask & (IN_CREATE | IN_MOVED_TO)) && (event.mask & IN_ISDIR) &&
        !event.name.isEmpty())
        watchInside(owner.id, owner.item, owner.path / event.name);
}

void FolderWatcher::arrive(int id, const QByteArray& name, bool isFolder) {
    Folder& f = folders_[id];
    Item& item = f.pending[name];
    item.isFolder = isFolder;
    touch(item, true);
    if (isFolder) watchInside(id, name, f.path / name);
}

void FolderWatcher::touch(Item& item, bool writerClosed) {
    item.lastChange = clock();
    if (writerClosed) {
        item.notBefore = 0;
        item.writerLooks = 0;
    }
    scheduleAt(item.due(settle_));
}

void FolderWatcher::watchInside(int id, const QByteArray& name, const Path& folder) {
    // Every folder inside, each with a watch of its own; links are not followed.
    QList<Path> toWatch{folder};
    while (!toWatch.isEmpty()) {
        const Path path = toWatch.takeLast();
        const int watch = addWatch(path, {Owner::Inner, id, name, path}, false);
        if (watch == -ENOSPC) return;
        if (watch < 0) continue;
        Item& item = folders_[id].pending[name];
        if (!item.inner.contains(watch)) item.inner.append(watch);
        NameList inside;
        if (!LocalFileSystem().readFolder(path, inside).ok()) continue;
        for (std::size_t i = 0; i < inside.size(); ++i)
            if (inside.isDirectory(i)) toWatch.append(path / inside.at(i));
    }
}

void FolderWatcher::forgetItem(int id, const QByteArray& name) {
    Folder& folder = folders_[id];
    if (const auto item = folder.pending.find(name); item != folder.pending.end()) {
        for (const int watch : std::as_const(item->inner)) {
            const auto it = owners_.find(watch);
            if (it == owners_.end()) continue;
            it->removeIf([&](const Owner& o) {
                return o.kind == Owner::Inner && o.id == id && o.item == name;
            });
            if (it->isEmpty()) {
                owners_.erase(it);
                inotify_.remove(watch);
            }
        }
        folder.pending.erase(item);
    }
    folder.seen.remove(name);
    folder.placeholders.remove(name);
}

void FolderWatcher::scheduleAt(qint64 when) {
    if (timer_.isActive() && timerAt_ <= when) return;
    timerAt_ = when;
    timer_.start(int(std::clamp<qint64>(when - clock(), 0, std::numeric_limits<int>::max())));
}

qint64 FolderWatcher::writerBackoff(int looks) const {
    // Its writer's close is an event too, which looks again at once; this is for a close
    // that was not seen (another name for the file, a queue overflow).
    return std::min<qint64>(std::max<qint64>(settle_, 1000) << std::min(looks, 8), 300000);
}

QList<QByteArray> FolderWatcher::settling(const Path& folder) const {
    for (const Folder& f : folders_)
        if (f.path == folder) {
            QList<QByteArray> names = f.pending.keys();
            std::sort(names.begin(), names.end());
            return names;
        }
    return {};
}

bool FolderWatcher::isWatching(const Path& folder) const {
    for (const Folder& f : folders_)
        if (f.path == folder) return f.present;
    return false;
}
