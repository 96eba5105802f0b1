#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <time.h>

#include <QRegularExpression>
#include <ctime>

#include "journal_fixture.h"
#include "platform/copy_tree.h"
#include "runs/run_recovery.h"
#include "support/faulty_file_system.h"

namespace {

// Undo gives the tree back, and can itself be undone; an item moved since the run, or
// whose old place is taken, is left where it is, and nothing is replaced.
TEST_F(JournalFixture, UndoGivesBackTheTreeCanItselfBeUndoneAndNeverReplaces) {
    const QByteArray odd("x\xff\ny.pdf");
    put("a.txt", "words");
    put(odd, "odd");
    makeFolder(home.desktop() + "/Empty");
    const QStringList before = describeTree(folder);
    fileTwoItems(odd);
    const QStringList filed = describeTree(folder);

    const std::optional<RunRecord> run = history.newestToUndo();
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->kind, "file");
    EXPECT_EQ(run->itemCount(local), 2);
    EXPECT_EQ(history.stateOf(*run), RunState::Done);
    UndoOutcome outcome = undo(*run);
    EXPECT_EQ(outcome.status, UndoOutcome::Status::Done);
    EXPECT_EQ(outcome.movedBack, 2);
    EXPECT_EQ(describeTree(folder), before);
    EXPECT_EQ(history.stateOf(*history.read(run->number)), RunState::Undone);

    // Undoing the undo files again and marks the first run done again.
    const int firstUndo = outcome.undoRun;
    outcome = undo(*history.read(firstUndo));
    EXPECT_EQ(outcome.movedBack, 2);
    EXPECT_EQ(describeTree(folder), filed);
    EXPECT_EQ(history.stateOf(*history.read(run->number)), RunState::Done);
    EXPECT_EQ(history.stateOf(*history.read(firstUndo)), RunState::Undone);

    // The user renames one filed item and puts a new file at the other's old place.
    ASSERT_EQ(::renameat2(AT_FDCWD, (folder / "Words/a.txt").c_str(), AT_FDCWD,
                          (folder / "Words/c.txt").c_str(), RENAME_NOREPLACE),
              0);
    put("a.txt", "other");
    put("Words/a.txt", "new");
    put(odd, "in its place");
    outcome = undo(*history.read(run->number));
    EXPECT_EQ(outcome.status, UndoOutcome::Status::Done);
    EXPECT_EQ(outcome.movedBack, 0);
    EXPECT_EQ(outcome.skipped,
              QStringList({(folder / "Words" / odd).display() + ": its old place, " +
                               (folder / odd).display() + ", is taken",
                           (folder / "Words/a.txt").display() +
                               ": it is no longer where the run left it"}));
    EXPECT_EQ(describeTree(folder),  // "Empty" made again, as it was
              QStringList({"Empty d", "Words d", "Words/a.txt f new", "Words/c.txt f words",
                           "Words/x\\xFF\\x0Ay.pdf f odd", "a.txt f other",
                           "x\\xFF\\x0Ay.pdf f in its place"}));
}

// Reports the items of chosen names as born a day after anything a run recorded: as a new
// file that was given the inode number of a removed one is.
class RebornFileSystem : public LocalFileSystem {
  public:
    QList<QByteArray> reborn;
    std::optional<FileStatus> status(const Path& path) override {
        std::optional<FileStatus> st = LocalFileSystem::status(path);
        if (st && reborn.contains(path.fileName())) {
            st->birthKnown = true;
            st->birthSeconds = std::time(nullptr) + 86400;
        }
        return st;
    }
};

// A filed file was deleted and a new one of the same name got its inode number (b.jpg, a
// file left under a temporary name, and d.jpg, whose move's mark the kill took): neither
// undo nor the recovery of the killed run takes a new file for the one the run moved, nor
// counts it.
TEST_F(JournalFixture, AFileBornAfterTheMoveIsNotTakenForTheMovedOne) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) put(name, name);
    makeFolder(home.desktop() + "/Images");
    runAndDie("file", [&] {
        return files.moveNoReplace(folder / "a.jpg", folder / "Images/a.jpg").ok() &&
               files.moveNoReplace(folder / "b.jpg", folder / "Images/b.jpg").ok() &&
               files.moveNoReplace(folder / "c.jpg", folder / ".desktidy-case-0").ok() &&
               files.moveNoReplace(folder / "d.jpg", folder / "Images/d.jpg").ok();
    });
    RebornFileSystem reborn;
    reborn.reborn = {"b.jpg", ".desktidy-case-0", "d.jpg"};
    JournalingFileSystem rebornFiles(reborn, desktidyStateFolder(home.path()));
    const QList<StoppedRun> stopped = recoverStoppedRuns(rebornFiles, history);
    ASSERT_EQ(stopped.size(), 1);
    EXPECT_EQ(stopped.first().movesMade, 2);  // a.jpg and b.jpg, marked done
    EXPECT_EQ(stopped.first().putRight, 0);

    const UndoOutcome outcome = undo(rebornFiles, *history.read(1));
    EXPECT_EQ(outcome.movedBack, 1);
    EXPECT_EQ(
        outcome.skipped,
        QStringList(
            {(folder / ".desktidy-case-0").display() + ": it is no longer where the run left it",
             (folder / "Images/b.jpg").display() + ": it is no longer where the run left it"}));
    EXPECT_EQ(describeTree(folder),
              QStringList({".desktidy-case-0 f c.jpg", "Images d", "Images/b.jpg f b.jpg",
                           "Images/d.jpg f d.jpg", "a.jpg f a.jpg"}));
}

// The same with an inode number the file system really gives again, where it does.
TEST_F(JournalFixture, UndoLeavesANewFileThatGotTheMovedOnesInodeNumber) {
    put("b.jpg", "b");
    {
        const OpenRun run(files, "file", folder);
        ASSERT_TRUE(files.makeDirectory(folder / "Images").ok());
        ASSERT_TRUE(files.moveNoReplace(folder / "b.jpg", folder / "Images/b.jpg").ok());
    }
    const RunRecord record = *history.read(1);
    const RunEntry& move = record.entries.last();
    ASSERT_TRUE(move.clock.known);
    // Past the record's clock even by the coarse clock file systems stamp births with.
    const auto pastTheClock = [&] {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
        return now.tv_sec > move.clock.seconds ||
               (now.tv_sec == move.clock.seconds && now.tv_nsec > move.clock.nanoseconds);
    };
    while (!pastTheClock()) ::usleep(1000);
    const Path filed = folder / "Images/b.jpg";
    ASSERT_EQ(::unlink(filed.c_str()), 0);
    put("Images/b.jpg", "new");
    const std::optional<FileStatus> now = local.status(filed);
    if (!now->birthKnown || now->inode != move.identity.inode)
        GTEST_SKIP() << "the file system gave no birth time or another inode number";
    const UndoOutcome outcome = undo(record);
    EXPECT_EQ(outcome.movedBack, 0);
    EXPECT_EQ(outcome.skipped,
              QStringList(filed.display() + ": it is no longer where the run left it"));
    EXPECT_EQ(describeTree(folder), QStringList({"Images d", "Images/b.jpg f new"}));
}

// An undo that meets a failure says so and marks nothing: the run stays undoable, and the
// next undo takes the rest. (An undo whose own record cannot be written is run end to end
// in crash_test.cpp.)
TEST_F(JournalFixture, AnUndoThatFailsLeavesTheRunUndoableForTheRest) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) put(name, name);
    {
        const OpenRun run(files, "file", folder);
        ASSERT_TRUE(files.makeDirectory(folder / "Words").ok());
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            ASSERT_TRUE(files.moveNoReplace(folder / name, folder / "Words" / name).ok());
    }

    FaultyFileSystem full;
    full.failMoveFrom.insert(home.desktop() + "/Words/b.txt", ENOSPC);
    JournalingFileSystem fullFiles(full, desktidyStateFolder(home.path()));
    UndoOutcome outcome = undo(fullFiles, *history.read(1));
    EXPECT_EQ(outcome.status, UndoOutcome::Status::Failed);
    EXPECT_EQ(outcome.movedBack, 2);
    EXPECT_EQ(outcome.failed, QStringList((folder / "Words/b.txt").display() +
                                          ": Could not move \u201cb.txt\u201d: No space left on "
                                          "device."));
    EXPECT_EQ(outcome.summary(*history.read(1)),
              "Could not undo all of run 1 (Desktidy): 2 items moved back, 1 could not be:\n  " +
                  outcome.failed.first() + "\nRun 1 can be undone again to move back the rest.");
    EXPECT_EQ(history.stateOf(*history.read(1)), RunState::Done);
    EXPECT_EQ(history.newestToUndo()->number, 1);

    outcome = undo(*history.read(1));
    EXPECT_EQ(outcome.status, UndoOutcome::Status::Done);
    EXPECT_EQ(outcome.movedBack, 1);
    EXPECT_EQ(describeTree(folder),
              QStringList({"a.txt f a.txt", "b.txt f b.txt", "c.txt f c.txt"}));
    EXPECT_EQ(history.stateOf(*history.read(1)), RunState::Undone);

    // An undo that finds nothing it can move back changes nothing: it has no record of its
    // own, and marks nothing.
    {
        const OpenRun run(files, "rename", folder);
        ASSERT_TRUE(files.moveNoReplace(folder / "a.txt", folder / "z").ok());
    }
    ASSERT_TRUE(local.removeAll(folder / "z").ok());
    const RunRecord renamed = *history.newestToUndo();
    outcome = undo(renamed);
    EXPECT_EQ(outcome.undoRun, 0);
    EXPECT_EQ(outcome.skipped.size(), 1);
    EXPECT_EQ(history.stateOf(*history.read(renamed.number)), RunState::Done);
}

// Filing a folder named "files" beside a folder "info" is no removal from a Trash: only
// the folder a run made in the Trash's own files folder has its Trash record removed.
TEST_F(JournalFixture, UndoRemovesOnlyTheTrashRecordOfAFolderItMadeInTheTrash) {
    const Path work = Path::fromText(home / "work/files");
    const Path userRecord = Path::fromText(home / "work/info/Words.trashinfo");
    const Path trashRecord = trash.infoFileFor("DKT Deleted Apps");
    writeFile(home / "work/files/a.txt", "a");
    writeFile(QString::fromUtf8(userRecord.bytes()), "mine");
    writeFile(QString::fromUtf8(trashRecord.bytes()), "[Trash Info]");
    makeFolder(QString::fromUtf8(trash.files().bytes()));
    {
        const OpenRun run(files, "file", work);
        ASSERT_TRUE(files.makeDirectory(work / "Words").ok());
        ASSERT_TRUE(files.moveNoReplace(work / "a.txt", work / "Words/a.txt").ok());
        ASSERT_TRUE(files.makeDirectory(trash.files() / "DKT Deleted Apps").ok());
    }
    EXPECT_EQ(undo(*history.read(1)).status, UndoOutcome::Status::Done);
    EXPECT_EQ(readFile(QString::fromUtf8(userRecord.bytes())), "mine");
    EXPECT_FALSE(local.exists(trashRecord));
    EXPECT_FALSE(local.exists(trash.files() / "DKT Deleted Apps"));
}

// A file a run wrote is taken back only while it is the one the run wrote, holding what it
// was written with: for a killed run whose mark is missing, all of that or its start (the
// kill came half-way through writing). Anything else there stays, and is listed.
TEST_F(JournalFixture, UndoTakesBackOnlyTheFileTheRunWrote) {
    const QByteArray written = "written by the run";
    struct Row {
        const char* name;
        bool marked;     // the "wrote" mark is in the record
        QByteArray now;  // what the file holds at the undo
        bool removed;
    } rows[] = {
        {"whole", true, written, true},         {"changed", true, "mine now", false},
        {"killed whole", false, written, true}, {"killed half", false, written.left(7), true},
        {"killed empty", false, "", true},      {"not ours", false, "mine", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Path path = folder / row.name;
        writeItem(path, row.now);
        QByteArray lines = "kind undo\nfolder " + quoted(folder.bytes()) + "\nwrite " +
                           quoted(path.bytes()) + ' ' + quoted(written) + '\n';
        if (row.marked) lines += "wrote " + quoted(path.bytes()) + ' ' + identityAt(path) + '\n';
        lines += "end done\n";
        if (!row.marked) lines.chop(int(sizeof "end done\n") - 1);  // killed: no end
        writeRecord(history.numbers().size() + 1, lines);
        const UndoOutcome undone = undo(*history.read(history.numbers().last()));
        EXPECT_EQ(local.exists(path), !row.removed);
        EXPECT_EQ(undone.skipped.size(), row.removed ? 0 : 1);
    }
}

// A restore killed half-way: a and b were back, b's Trash record removed, a's written
// into the run's record but not yet removed; c was back too, and another c has taken its
// name in the Trash since. Undo makes the Trash as it was for a and b, writing b's record
// again before b goes in, and leaves the other c and its record alone.
TEST_F(JournalFixture, AKilledRestoreIsUndoneToTheTrashWithTheRecordsAsTheyWere) {
    for (const Path& made : {trash.folder, trash.files(), trash.info()}) makeFolder(text(made));
    const auto recordOf = [&](const QByteArray& name) {
        return "[Trash Info]\nPath=" + (folder / name).bytes() +
               "\nDeletionDate=2024-01-02T03:04:05\n";
    };
    QByteArray lines = "kind restore\nfolder " + quoted(trash.files().bytes()) +
                       "\ntime 2024-01-03T00:00:00Z\npid 999999999\n";
    for (const QByteArray name : {"a", "b", "c"}) {
        writeItem(trash.files() / name, name);
        writeItem(trash.infoFileFor(name), recordOf(name));
    }
    const QStringList before = describeTree(trash.folder);
    int id = 0;
    for (const QByteArray name : {"a", "b", "c"}) {
        ASSERT_TRUE(local.moveNoReplace(trash.files() / name, folder / name).ok());
        const QByteArray number = QByteArray::number(++id);
        lines += "move " + number + ' ' + quoted((trash.files() / name).bytes()) + ' ' +
                 quoted((folder / name).bytes()) + ' ' + identityAt(folder / name) + "\ndone " +
                 number + "\nunlink " + quoted(trash.infoFileFor(name).bytes()) + ' ' +
                 quoted(recordOf(name)) + '\n';
        if (name != "a") {
            ASSERT_TRUE(local.removeFile(trash.infoFileFor(name)).ok());
        }
    }
    writeItem(trash.files() / "c", "another c");
    writeItem(trash.infoFileFor("c"), "[Trash Info]\nPath=/elsewhere/c\n");
    writeRecord(1, lines);

    const UndoOutcome undone = undo(*history.read(1));
    EXPECT_EQ(undone.movedBack, 2);
    EXPECT_EQ(undone.skipped, QStringList{text(folder / "c") + ": its old place, " +
                                          text(trash.files() / "c") + ", is taken"});
    QStringList expected = before;
    expected.replaceInStrings("files/c f c", "files/c f another c")
        .replaceInStrings(QRegularExpression("^info/c.trashinfo f .*"),
                          "info/c.trashinfo f [Trash Info]\\x0APath=/elsewhere/c\\x0A");
    EXPECT_EQ(describeTree(trash.folder), expected);
    EXPECT_EQ(contentsOf(folder / "c"), "c");
}

// A record that lost the removal of the folder an item left (as records did when a kill
// took it): undo makes the folder again when it lies inside the run's folder, and names
// the folder as what is missing elsewhere.
TEST_F(JournalFixture, UndoMakesAgainAMissingFolderInsideTheRunsFolder) {
    put("a.txt", "a");
    put("b.txt", "b");
    writeFile(home / "Elsewhere/c.txt", "c");
    const Path elsewhere = Path::fromText(home / "Elsewhere");
    writeRecord(1, "kind unfile\nfolder " + quoted(folder.bytes()) + "\nmove 1 " +
                       quoted((folder / "Words/Old/a.txt").bytes()) + ' ' +
                       quoted((folder / "a.txt").bytes()) + ' ' + identityAt(folder / "a.txt") +
                       "\ndone 1\nmove 2 " + quoted((elsewhere / "Gone/c.txt").bytes()) + ' ' +
                       quoted((elsewhere / "c.txt").bytes()) + ' ' +
                       identityAt(elsewhere / "c.txt") + "\ndone 2\nend done\n");
    const UndoOutcome outcome = undo(*history.read(1));
    EXPECT_EQ(outcome.status, UndoOutcome::Status::Done);
    EXPECT_EQ(outcome.movedBack, 1);
    EXPECT_EQ(outcome.skipped, QStringList((elsewhere / "c.txt").display() + ": its old folder, " +
                                           (elsewhere / "Gone").display() + ", is missing"));
    EXPECT_EQ(describeTree(folder),
              QStringList({"Words d", "Words/Old d", "Words/Old/a.txt f a", "b.txt f b"}));
    // Undoing the undo removes the folders it made again, once empty.
    EXPECT_EQ(undo(*history.read(outcome.undoRun)).movedBack, 1);
    EXPECT_EQ(describeTree(folder), QStringList({"a.txt f a", "b.txt f b"}));
}

// "Trash" is another file system: a move into or out of it fails (unless a real mount
// makes it so), and the caller then moves the item by copy. failCopiesAfter makes a copy
// fail half-way; each removal is told first.
class OtherDeviceFileSystem : public LocalFileSystem {
  public:
    bool seam = true;
    int failCopiesAfter = -1;
    std::function<void(const Path&)> removing;

    FileError moveNoReplace(const Path& from, const Path& to) override {
        if (seam && (from.parent().fileName() == "Trash") != (to.parent().fileName() == "Trash"))
            return FileError::fromErrno(EXDEV, to, "move");
        return LocalFileSystem::moveNoReplace(from, to);
    }
    FileError copyEntry(const Path& from, const Path& to) override {
        if (failCopiesAfter == 0) return FileError::fromErrno(ENOSPC, to, "copy");
        --failCopiesAfter;
        return LocalFileSystem::copyEntry(from, to);
    }
    FileError removeAll(const Path& path) override {
        if (removing) removing(path);
        return LocalFileSystem::removeAll(path);
    }
};

// The record says where the complete copy is, with its identity, before the old item is
// removed, so that a run killed then loses nothing; an undo brings the item back the same
// way (a copy back that fails half-way leaves nothing at the old place, nor beside it),
// and an undo of that undo takes it again. With the seam, and with a real tmpfs when this
// process may mount one.
TEST_F(JournalFixture, ItemMovedAcrossFileSystemsIsRecordedBeforeItGoesAndComesBack) {
    for (const bool realMount : {false, true}) {
        SCOPED_TRACE(realMount ? "tmpfs" : "seam");
        const QString trashFolder = home.desktop() + "/Trash";
        makeFolder(trashFolder);
        if (realMount &&
            (::unshare(CLONE_NEWNS) != 0 ||
             ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
             ::mount("none", QFile::encodeName(trashFolder).constData(), "tmpfs", 0, nullptr) != 0))
            GTEST_SKIP() << "cannot mount here";
        OtherDeviceFileSystem devices;
        devices.seam = !realMount;
        JournalingFileSystem removal(devices, desktidyStateFolder(home.path()));
        const Path item = folder / "Pad", trashed = Path::fromText(trashFolder) / "Pad";
        writeFile(home.desktop() + "/Pad/bin/pad", "binary");
        writeFile(home.desktop() + "/Pad/.settings", "mine");
        const QStringList tree = describeTree(item, TreeDetail::ItemTimes);

        std::optional<RunRecord> whenRemoving;
        devices.removing = [&](const Path& path) {
            if (path != item) return;
            const Path record = history.recordPath(history.numbers().last());
            whenRemoving = parseRunRecord(readFile(QFile::decodeName(record.bytes())), 1);
        };
        removal.beginRun({"remove-app", {}});
        ASSERT_EQ(removal.moveNoReplace(item, trashed).code, EXDEV);
        ASSERT_TRUE(removal.moveAcrossFileSystems(item, trashed).ok());
        removal.endRun(RunOutcome::Done);
        devices.removing = nullptr;
        ASSERT_TRUE(whenRemoving.has_value());
        ASSERT_EQ(whenRemoving->entries.size(), 2);  // one move, and its copy in progress
        const RunEntry& move = whenRemoving->entries[0];
        EXPECT_TRUE(move.acrossDevices);
        EXPECT_EQ(move.identity.device, local.status(trashed)->device);
        EXPECT_EQ(move.identity.inode, local.status(trashed)->inode);
        EXPECT_TRUE(whenRemoving->entries[1].path.fileName().startsWith(".Pad.desktidy-partial-"));
        EXPECT_EQ(describeTree(trashed, TreeDetail::ItemTimes), tree);
        const QStringList inTrash = describeTree(folder);

        if (!realMount) {
            devices.failCopiesAfter = 1;
            const UndoOutcome failed = undo(removal, *history.newestToUndo());
            EXPECT_EQ(failed.status, UndoOutcome::Status::Failed);
            EXPECT_EQ(failed.failed.size(), 1);
            EXPECT_EQ(describeTree(folder), inTrash);
            devices.failCopiesAfter = -1;
        }
        const UndoOutcome outcome = undo(removal, *history.newestToUndo());
        EXPECT_EQ(outcome.movedBack, 1) << outcome.skipped.join('\n').toStdString();
        EXPECT_EQ(describeTree(item, TreeDetail::ItemTimes), tree);
        EXPECT_FALSE(local.exists(trashed));
        EXPECT_EQ(undo(removal, *history.read(outcome.undoRun)).movedBack, 1);
        EXPECT_EQ(describeTree(trashed, TreeDetail::ItemTimes), tree);
        EXPECT_FALSE(local.exists(item));
        ASSERT_TRUE(local.removeAll(trashed).ok());
        if (realMount) ::umount2(QFile::encodeName(trashFolder).constData(), MNT_DETACH);
    }
}

}  // namespace
