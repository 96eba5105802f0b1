#include "app/watch_batch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "runs/folder_lock.h"
#include "runs/journaling_file_system.h"
#include "runs/run_history.h"
#include "settings/settings.h"
#include "support/qstring_printer.h"
#include "support/temp_home.h"
#include "support/tree_listing.h"

namespace {

Settings watchSettings() {
    Settings s;
    s.folderNames = {"Archive", "Audio",  "Compressed", "Data", "Images",
                     "Layouts", "Videos", "Web",        "Words"};
    s.types(Category::Image) = {"jpg - JPEG image"};
    s.types(Category::Words) = {"txt - Plain text"};
    s.archiveDate = {"None", "None", "2020"};
    return s;
}

void makeOld(const QString& path) {
    const timespec times[2] = {{1000, 0}, {1000, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

}  // namespace

// A batch files exactly the items named, by the rules of `file`: old ones into the archive,
// a taken name and a hidden item stay, an item not named is not touched; it is one run of
// kind "watch", which names the folders it filed into. A folder held by another run is
// left as it is.
TEST(WatchBatch, FilesExactlyTheNamedItemsAsOneRunOfItsOwn) {
    TempHome home;
    const QString desk = home / "Desk";
    writeFile(desk + "/old.jpg", "old");
    makeOld(desk + "/old.jpg");
    writeFile(desk + "/notes.txt", "notes");
    writeFile(desk + "/taken.jpg", "new");
    writeFile(desk + "/Images/taken.jpg", "filed before");
    writeFile(desk + "/.hidden.jpg", "hidden");
    writeFile(desk + "/not named.jpg", "not named");
    writeFile(desk + "/odd.xyz", "no type");
    LocalFileSystem local;
    JournalingFileSystem files(local, desktidyStateFolder(home.path()));
    const QList<QByteArray> names{"old.jpg", "notes.txt", "taken.jpg", ".hidden.jpg", "odd.xyz"};

    {
        FolderLock held;
        ASSERT_EQ(held.acquire(files.lockFolder(), asPath(desk)), FolderLock::Outcome::Held);
        const WatchBatchReport busy =
            carryOutWatchBatch(files, watchSettings(), asPath(desk), names, silentObserver());
        EXPECT_TRUE(busy.folderBusy);
        EXPECT_EQ(busy.runNumber, 0);
    }
    const WatchBatchReport batch =
        carryOutWatchBatch(files, watchSettings(), asPath(desk), names, silentObserver());
    EXPECT_FALSE(batch.folderBusy);
    EXPECT_EQ(resultLine(batch.report),
              "Filed 2 items into 2 folders. 2 stayed: 1 with no matching type, 1 name taken.");
    EXPECT_EQ(batch.runNumber, 1);
    EXPECT_EQ(batch.receivingFolders, (QList<QByteArray>{"Archive/Images", "Words"}));
    EXPECT_EQ(describeTree(asPath(desk)),
              (QStringList{".hidden.jpg f hidden", "Archive d", "Archive/Images d",
                           "Archive/Images/old.jpg f old", "Images d",
                           "Images/taken.jpg f filed before", "Words d", "Words/notes.txt f notes",
                           "not named.jpg f not named", "odd.xyz f no type", "taken.jpg f new"}));
    const std::optional<RunRecord> record = RunHistory(files.historyFolder()).read(1);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->kind, "watch");
    EXPECT_EQ(record->end, "done");
    EXPECT_EQ(record->itemCount(files), 2);
}
