#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

#include "platform/path.h"
#include "watch/inotify_watches.h"
#include "watch/watch_event.h"

class MountChanges;

// Where the watch hands the items that have settled. It knows nothing of filing: it names
// a folder and the items there, and hears whether they were dealt with.
class BatchFiler {
  public:
    enum class Outcome {
        Done,        // each item was dealt with: filed, or left where it is for good
        FolderBusy,  // another run holds the folder: nothing was done; try again soon
        Stopped,     // the program is stopping: nothing more is to be handed over
    };
    virtual ~BatchFiler() = default;
    virtual Outcome fileBatch(const Path& folder, const QList<QByteArray>& names) = 0;
};

// Watches folders for items that arrive (made there, or moved in) and hands each to the
// filer once it has settled: nothing about it has changed for the settle time, no process
// has it open for writing, its name is not a partial download or lock file
// (partial_names.h), and it is not an empty placeholder whose partial sibling is still
// there. A folder that arrives is watched inside too, and settles only once nothing in it
// has changed for the settle time. Items that arrive together are handed over together.
//
// Items already there when a folder is first watched, hidden items, those a filing leaves
// behind and those left alone by name (setLeftAlone) are never handed over; an item
// replaced in place (an editor's save) is no new item either.
//
// Everything comes from inotify: while nothing settles there is no timer and no processor
// time. A queue overflow rescans every folder. A watched folder that is removed, moved or
// unmounted is reported once and watched again when it is back (the nearest folder above
// it that exists is watched for its return; a mount is noticed through the mount table).
class FolderWatcher : public QObject {
  public:
    // warn hears what the user should know: a folder watched, gone or back, the limit on
    // watches reached.
    FolderWatcher(BatchFiler& filer, std::function<void(const QString&)> warn);
    ~FolderWatcher() override;

    // False when inotify is not to be had (warned).
    bool ready() const { return ready_; }
    void setSettleTime(qint64 milliseconds);
    // Items already there when a folder is first watched are handed over too.
    void setFileExisting(bool on) { fileExisting_ = on; }
    // Names never handed over, such as the folders filing makes.
    void setLeftAlone(std::function<bool(QByteArrayView)> names) { leftAlone_ = std::move(names); }
    // Watches exactly these folders from now on; each folder is watched once.
    void setFolders(const QList<Path>& folders);
    // Calls changed, from the event loop, after the file is written or replaced.
    void watchFile(const Path& file, std::function<void()> changed);

    // The seam where events enter: every event from the kernel passes through deliver once
    // admit (when set) has let it in. Tests drop events there and add their own.
    void deliver(const WatchEvent& event);
    std::function<bool(const WatchEvent&)> admit;
    // Called between finding the folder above a missing one and watching it for its
    // return; tests change the disk at that instant.
    std::function<void(const Path&)> beforeWatchingAbove;
    // Milliseconds on a steady clock; tests drive their own.
    std::function<qint64()> clock;
    // Hands over what has settled by now and sets the timer for the next item to settle.
    void settleNow();

    // The items of folder that are settling, by name; and whether it is watched now.
    QList<QByteArray> settling(const Path& folder) const;
    bool isWatching(const Path& folder) const;

  private:
    // An item settling in a watched folder.
    struct Item {
        qint64 lastChange = 0;
        qint64 notBefore = 0;  // a writer had it open: not looked at again before this
        int writerLooks = 0;
        bool isFolder = false;
        QList<int> inner;  // the watches inside a folder item
        qint64 due(qint64 settle) const { return std::max(lastChange + settle, notBefore); }
    };
    struct Folder {
        Path path;
        int watch = -1;  // -1 while it is not there
        Path ancestor;   // while it is not there: the folder above watched for its return
        int ancestorWatch = -1;
        bool present = false;
        bool everPresent = false;
        bool mountRoot = false;  // the top of a file system: back only once mounted again
        QHash<QByteArray, Item> pending;
        QSet<QByteArray> seen;          // items decided about, left where they are
        QSet<QByteArray> placeholders;  // empty items whose partial sibling was there
        // The partial downloads there, with the names they finish as (a.pdf.part: a.pdf).
        QHash<QByteArray, QByteArray> partials;
        qint64 retryAt = 0;  // another run held the folder: try again then
        bool toldBusy = false;
    };
    // What a watch is for; several may share one (a folder watched and waited above).
    struct Owner {
        enum Kind { Watched, Ancestor, Inner, File };
        Kind kind = Watched;
        int id = 0;       // the folder's (Watched, Ancestor, Inner) or the file's
        QByteArray item;  // Inner: the folder item it lies in
        Path path;        // Inner: the folder watched
    };
    struct WatchedFile {
        Path folder;
        QByteArray name;
        std::function<void()> changed;
        bool announced = false;
    };

    bool mayFile(QByteArrayView name) const;
    static void notePartial(Folder& folder, const QByteArray& name);
    int addWatch(const Path& path, const Owner& owner, bool followLink);
    void releaseWatch(int watch, int folderOrFile, int kind);
    void warnLimit(const Path& path);

    // Presence of the watched folders.
    bool attach(int id);
    void waitForReturn(int id);
    void folderGone(int id, const QString& why);
    void retryMissing();
    void rescan();

    // Items.
    void onFolderEvent(int id, const WatchEvent& event);
    void onAncestorEvent(int id, const WatchEvent& event);
    void onInnerEvent(const Owner& owner, const WatchEvent& event);
    void arrive(int id, const QByteArray& name, bool isFolder);
    void touch(Item& item, bool writerClosed);
    void watchInside(int id, const QByteArray& name, const Path& folder);
    void forgetItem(int id, const QByteArray& name);
    void scheduleAt(qint64 when);
    qint64 writerBackoff(int looks) const;

    BatchFiler& filer_;
    std::function<void(const QString&)> warn_;
    InotifyWatches inotify_;
    std::unique_ptr<MountChanges> mounts_;
    bool ready_ = false;
    qint64 settle_ = 5000;
    bool fileExisting_ = false;
    bool toldLimit_ = false;
    std::function<bool(QByteArrayView)> leftAlone_;
    QHash<int, Folder> folders_;  // by id
    int nextId_ = 1;
    QHash<int, QList<Owner>> owners_;  // who listens to each watch
    QList<WatchedFile> files_;
    QTimer timer_;
    qint64 timerAt_ = 0;
};
