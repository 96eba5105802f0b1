#include "watch/folder_watcher.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/mount.h>

#include <QDir>
#include <QProcess>
#include <memory>

#include "support/event_loop_wait.h"
#include "support/qstring_printer.h"
#include "support/temp_home.h"
#include "support/tree_listing.h"

namespace {

// Records each batch handed over, with the contents of each file in it at that moment.
class RecordingFiler : public BatchFiler {
  public:
    struct Batch {
        Path folder;
        QList<QByteArray> names;
        QStringList tree;  // the items as they were when handed over
    };
    QList<Batch> batches;
    QList<Outcome> answers;  // answered in turn; Done once they run out

    Outcome fileBatch(const Path& folder, const QList<QByteArray>& names) override {
        QList<QByteArray> sorted = names;
        std::sort(sorted.begin(), sorted.end());
        QStringList tree;
        for (const QByteArray& name : sorted) {
            const Path item = folder / name;
            if (QFileInfo(QFile::decodeName(item.bytes())).isDir())
                for (const QString& line : describeTree(item)) tree << QString(name) + '/' + line;
            else
                tree << QString(name) + ' ' + contentsOf(item);
        }
        batches.append({folder, sorted, tree});
        return answers.isEmpty() ? Outcome::Done : answers.takeFirst();
    }
    // Every name handed over, in order.
    QList<QByteArray> allNames() const {
        QList<QByteArray> all;
        for (const Batch& batch : batches) all << batch.names;
        return all;
    }
};

// A process writing in the folder, as a browser or a copy does.
std::unique_ptr<QProcess> startWriter(const QString& folder, const QString& script) {
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(folder);
    process->start("/bin/sh", {"-c", "set -e; " + script});
    EXPECT_TRUE(process->waitForStarted());
    return process;
}

void runWriter(const QString& folder, const QString& script) {
    const auto writer = startWriter(folder, script);
    EXPECT_TRUE(waitUntil([&] { return writer->state() == QProcess::NotRunning; }));
    EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().toStdString();
}

class FolderWatcherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        makeFolder(folder);
        watcher =
            std::make_unique<FolderWatcher>(filer, [this](const QString& w) { warnings << w; });
        ASSERT_TRUE(watcher->ready());
        watcher->setSettleTime(300);
        // Every event passes here first; the sync marks show how far the queue has come.
        watcher->admit = [this](const WatchEvent& event) {
            if (event.name.startsWith(".sync-")) synced = event.name.mid(6).toInt();
            return !dropping || event.name.startsWith(".sync-");
        };
    }
    void watch() { watcher->setFolders({asPath(folder)}); }
    // Waits until every event of what has happened so far has been delivered: the kernel
    // queues the events of all watches in order, and the mark is made last.
    void sync() {
        const int mark = ++marks;
        writeFile(folder + QString("/.sync-%1").arg(mark));
        ASSERT_TRUE(waitUntil([&] { return synced == mark; }));
    }
    QList<QByteArray> settling() { return watcher->settling(asPath(folder)); }

    TempHome home;
    QString folder = home / "Downloads";
    RecordingFiler filer;
    QStringList warnings;
    std::unique_ptr<FolderWatcher> watcher;
    bool dropping = false;
    int marks = 0, synced = 0;
};

}  // namespace

// A writer keeps the file open and adds to it every half second: it is handed over only
// after its writer has closed it, whole.
TEST_F(FolderWatcherTest, AFileOpenForWritingWaitsForItsWriterThenItsSettleTime) {
    watch();
    const auto writer = startWriter(
        folder, "exec 3>>song.mp3; for i in 1 2 3 4 5 6; do echo $i >&3; sleep 0.5; done");
    ASSERT_TRUE(waitUntil([&] {
        EXPECT_TRUE(filer.batches.isEmpty()) << "handed over while its writer had it open";
        return writer->state() == QProcess::NotRunning;
    }));
    ASSERT_TRUE(waitUntil([&] { return !filer.batches.isEmpty(); }));
    sync();
    ASSERT_EQ(filer.batches.size(), 1);
    EXPECT_EQ(filer.batches[0].tree, QStringList{"song.mp3 1\n2\n3\n4\n5\n6\n"});
}

// The two ways browsers download: an empty placeholder beside NAME.part, which is renamed
// over it at the end; and NAME.crdownload renamed to NAME. Only the final names are handed
// over, each once, whole.
TEST_F(FolderWatcherTest, ADownloadIsHandedOverUnderItsFinalNameOnceComplete) {
    watch();
    const auto browser =
        startWriter(folder,
                    ": > a.pdf; exec 3>a.pdf.part 4>b.zip.crdownload;"
                    "for i in 1 2 3 4; do echo $i >&3; echo $i >&4; sleep 0.4; done;"
                    "exec 3>&- 4>&-; mv a.pdf.part a.pdf; mv b.zip.crdownload b.zip");
    ASSERT_TRUE(waitUntil([&] {
        EXPECT_TRUE(filer.batches.isEmpty()) << "handed over during the download";
        return browser->state() == QProcess::NotRunning;
    }));
    ASSERT_EQ(browser->exitCode(), 0);
    ASSERT_TRUE(waitUntil([&] { return filer.allNames().size() >= 2; }));
    sync();
    watcher->settleNow();
    QStringList handed;
    for (const RecordingFiler::Batch& batch : filer.batches) handed << batch.tree;
    handed.sort();
    EXPECT_EQ(handed, (QStringList{"a.pdf 1\n2\n3\n4\n", "b.zip 1\n2\n3\n4\n"}));
    EXPECT_TRUE(settling().isEmpty());
}

// A folder that arrives settles only once nothing inside it has changed for the settle
// time, subfolders that come later included; then it is handed over once, whole. The
// watch's clock is the test's here, so that no step races it.
TEST_F(FolderWatcherTest, AFolderIsHandedOverOnceNothingInsideHasChangedForTheSettleTime) {
    qint64 now = 0;
    watcher->clock = [&] { return now; };
    watch();
    runWriter(folder, "mkdir Album; printf one > Album/1.jpg");
    sync();
    EXPECT_EQ(settling(), QList<QByteArray>{"Album"});
    now = 200;
    runWriter(folder, "mkdir Album/More; printf two > Album/More/2.jpg");
    sync();
    now = 400;
    runWriter(folder, "printf ' three' >> Album/More/2.jpg");
    sync();
    now = 699;  // 699 after it arrived, 299 after the last change inside
    watcher->settleNow();
    EXPECT_TRUE(filer.batches.isEmpty());
    now = 700;
    watcher->settleNow();
    ASSERT_EQ(filer.batches.size(), 1);
    EXPECT_EQ(filer.batches[0].tree,
              (QStringList{"Album/1.jpg f one", "Album/More d", "Album/More/2.jpg f two three"}));
    now = 5000;
    runWriter(folder, "echo four >> Album/1.jpg");  // left where it is: no new item
    sync();
    watcher->settleNow();
    EXPECT_EQ(filer.batches.size(), 1);
}

// Lost events (a queue overflow) are made up for by a rescan, which hands over what
// arrived meanwhile, once, and nothing that was there before.
TEST_F(FolderWatcherTest, AnOverflowRescansAndHandsOverWhatArrivedOnce) {
    writeFile(folder + "/before.txt", "old");
    watch();
    dropping = true;
    runWriter(folder, "echo x > x.jpg; mkdir Photos; echo y > Photos/y.jpg");
    sync();
    EXPECT_TRUE(settling().isEmpty());
    dropping = false;
    watcher->deliver({-1, IN_Q_OVERFLOW, 0, {}});
    EXPECT_EQ(settling(), (QList<QByteArray>{"Photos", "x.jpg"}));
    ASSERT_TRUE(waitUntil([&] { return !filer.batches.isEmpty(); }));
    watcher->deliver({-1, IN_Q_OVERFLOW, 0, {}});
    EXPECT_TRUE(settling().isEmpty());
    sync();
    watcher->settleNow();
    EXPECT_EQ(filer.allNames(), (QList<QByteArray>{"Photos", "x.jpg"}));
}

// A watched folder that goes is told once, and watched again when it is made again, even
// when the folders above change between the watcher's look and its watch (each change
// below is made at that instant); items made meanwhile elsewhere count for nothing.
TEST_F(FolderWatcherTest, AWatchedFolderRemovedAndMadeAgainIsWatchedAgain) {
    folder = home / "a/b/Downloads";
    makeFolder(folder);
    watch();
    QList<std::function<void()>> atTheWatchOnB{[&] { ASSERT_TRUE(QDir().rmdir(home / "a/b")); },
                                               [&] {
                                                   writeFile(home / "a/b/early.jpg");
                                                   makeFolder(folder);
                                               }};
    watcher->beforeWatchingAbove = [&](const Path& above) {
        if (above == asPath(home / "a/b") && !atTheWatchOnB.isEmpty()) atTheWatchOnB.takeFirst()();
    };
    ASSERT_TRUE(QDir().rmdir(folder));
    ASSERT_TRUE(waitUntil([&] { return atTheWatchOnB.size() == 1; }));
    EXPECT_FALSE(watcher->isWatching(asPath(folder)));
    makeFolder(home / "a/b");
    ASSERT_TRUE(waitUntil([&] { return watcher->isWatching(asPath(folder)); }));
    runWriter(folder, "echo new > new.jpg");
    ASSERT_TRUE(waitUntil([&] { return !filer.batches.isEmpty(); }));
    EXPECT_EQ(filer.allNames(), QList<QByteArray>{"new.jpg"});
    EXPECT_EQ(warnings, (QStringList{"Watching " + folder + ".",
                                     folder + " was removed; it is watched again when it is back.",
                                     "Watching " + folder + " again."}));
}

// A folder on a file system that is unmounted is told once and watched again once the
// file system is mounted again (no inotify event tells of that): a folder inside it once
// it is made there again, and the top of the file system not before (the folder left
// under it meanwhile is another). Needs the right to mount, as CI's root has.
TEST_F(FolderWatcherTest, AnUnmountedFolderIsWatchedAgainWhenItsFileSystemIsBack) {
    const QString stick = home / "stick", inbox = home / "stick/Inbox";
    makeFolder(stick);
    const QByteArray mountPoint = QFile::encodeName(stick);
    auto mountStick = [&] { return ::mount("none", mountPoint, "tmpfs", 0, nullptr) == 0; };
    if (!mountStick()) GTEST_SKIP() << "no right to mount here";
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{mountPoint};
    makeFolder(inbox);
    watcher->setFolders({asPath(stick), asPath(inbox)});
    ASSERT_EQ(::umount(mountPoint), 0);
    ASSERT_TRUE(waitUntil([&] {
        return !watcher->isWatching(asPath(stick)) && !watcher->isWatching(asPath(inbox));
    }));
    runWriter(stick, "echo under > under.jpg");  // into the folder the stick covers
    ASSERT_TRUE(mountStick());
    ASSERT_TRUE(waitUntil([&] { return watcher->isWatching(asPath(stick)); }));
    runWriter(stick, "mkdir Inbox; echo top > top.jpg");
    ASSERT_TRUE(waitUntil([&] { return watcher->isWatching(asPath(inbox)); }));
    runWriter(inbox, "echo later > later.jpg");
    ASSERT_TRUE(waitUntil([&] { return filer.allNames().size() >= 3; }));
    watcher->settleNow();
    QStringList handed;
    for (const RecordingFiler::Batch& batch : filer.batches)
        for (const QByteArray& name : batch.names) handed << batch.folder.display() + '/' + name;
    handed.sort();
    // The new folder Inbox is a new item of the stick's top too.
    EXPECT_EQ(handed, (QStringList{inbox, inbox + "/later.jpg", stick + "/top.jpg"}));
    QStringList unmounted = warnings.filter("unmounted");
    unmounted.sort();
    EXPECT_EQ(unmounted,
              (QStringList{stick + " was unmounted; it is watched again when it is back.",
                           inbox + " was unmounted; it is watched again when it is back."}));
}

// A run holding the folder makes the batch wait and come again, told once.
TEST_F(FolderWatcherTest, AFolderBusyWithAnotherRunIsTriedAgain) {
    filer.answers = {BatchFiler::Outcome::FolderBusy, BatchFiler::Outcome::FolderBusy};
    watch();
    runWriter(folder, "echo x > x.jpg");
    ASSERT_TRUE(waitUntil([&] { return filer.batches.size() == 3; }));
    EXPECT_TRUE(settling().isEmpty());
    EXPECT_EQ(warnings, (QStringList{"Watching " + folder + ".",
                                     "Another Desktidy run is changing " + folder +
                                         "; its new items are filed when it has finished."}));
}

// Only new items with names that may be filed are handed over: not what was there, not
// hidden items, partial downloads, lock files, names left alone, or an item replaced in
// place as an editor saves; with fileExisting, what was there is handed over too.
TEST_F(FolderWatcherTest, OnlyNewItemsThatMayBeFiledAreHandedOver) {
    for (const bool fileExisting : {false, true}) {
        SCOPED_TRACE(fileExisting);
        QDir(folder).removeRecursively();
        makeFolder(folder);
        writeFile(folder + "/notes.txt", "draft");
        filer.batches.clear();
        watcher->setFolders({});
        watcher->setFileExisting(fileExisting);
        watcher->setLeftAlone([](QByteArrayView name) { return name == "Images"; });
        watch();
        runWriter(folder,
                  "echo saved > .notes.txt.new; mv .notes.txt.new notes.txt;"
                  "for n in .hidden.jpg film.mp4.part '~$report.docx' .~lock.report.docx# "
                  "'#notes#' data.tmp; do echo x > \"$n\"; done; mkdir Images; echo new > new.jpg");
        ASSERT_TRUE(waitUntil([&] { return !filer.batches.isEmpty(); }));
        sync();
        watcher->settleNow();
        const QList<QByteArray> expected =
            fileExisting ? QList<QByteArray>{"new.jpg", "notes.txt"} : QList<QByteArray>{"new.jpg"};
        EXPECT_EQ(filer.allNames(), expected);
    }
}
