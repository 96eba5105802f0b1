#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QRegularExpression>
#include <cstdio>

#include "runs/folder_lock.h"
#include "runs/journaling_file_system.h"
#include "runs/record_text.h"
#include "runs/run_pipeline.h"
#include "runs/run_recovery.h"
#include "runs/run_undo.h"
#include "support/qstring_printer.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"
#include "support/tree_listing.h"

namespace {

struct JournalFixture : ::testing::Test {
    TempHome home;
    LocalFileSystem local;
    JournalingFileSystem files{local, desktidyStateFolder(home.path())};
    RunHistory history{files.historyFolder()};
    ScriptedPrompter prompter;
    Path folder = Path::fromText(home.desktop());

    void SetUp() override { makeFolder(home.desktop()); }
    // By the bytes of the name, which need not be UTF-8.
    void put(const QByteArray& name, const QByteArray& contents = "x") {
        writeItem(folder / name, contents);
    }
    // A filing: a category folder made, two items moved into it, an emptied folder removed.
    void fileTwoItems(const QByteArray& odd) {
        const OpenRun run(files, "file", folder);
        ASSERT_TRUE(files.makeDirectory(folder / "Words").ok());
        ASSERT_TRUE(files.moveNoReplace(folder / "a.txt", folder / "Words/a.txt").ok());
        ASSERT_TRUE(files.moveNoReplace(folder / odd, folder / "Words" / odd).ok());
        ASSERT_TRUE(files.removeEmptyDirectory(folder / "Empty").ok());
    }

    // An open run of the journal, ended (done) when it goes.
    struct OpenRun {
        OpenRun(JournalingFileSystem& files, const QByteArray& kind, const Path& folder)
            : files(files) {
            files.beginRun({kind, folder});
        }
        ~OpenRun() { (void)files.endRun(RunOutcome::Done); }
        JournalingFileSystem& files;
    };

    // An undo as the program makes it: a run of the pipeline over the run's folders.
    struct Undone {
        UndoOutcome outcome;
        int run = 0;  // the undo's own record
        bool refused = false;
    };
    Undone undo(JournalingFileSystem& journal, const RunRecord& record) {
        Undone undone;
        if (whyNotUndoable(history, record)) {
            undone.refused = true;
            return undone;
        }
        RecordingNotifier notifier;
        RunPipeline pipeline(journal, prompter, notifier);
        const TrashLocation trash = TrashLocation::forHome(Path::fromText(home.path()));
        const RunEnd end = pipeline.run(
            {RunKind::Undo, record.folders, {{"undoes", QByteArray::number(record.number)}}},
            [&](RunContext& run) {
                undone.outcome = undoSteps(journal, record, trash, run.observer());
                return RunResult::Done;
            },
            [&](RunEnd& ended) { markUndone(history, record, undone.outcome, ended.runNumber); });
        undone.run = end.runNumber;
        return undone;
    }
};

TEST(RecordText, EveryByteComesBackAndUtf8StaysReadable) {
    QByteArray all;
    for (int c = 1; c < 256; ++c) all += char(c);
    const QByteArray line = "move 1 " + quoted(all) + ' ' + quoted("Über \"x\"") + " 1:2";
    const auto words = splitWords(line);
    ASSERT_TRUE(words.has_value());
    EXPECT_EQ(words->at(2), all);
    EXPECT_EQ(words->at(3), QByteArray("Über \"x\""));
    EXPECT_FALSE(line.contains('\n'));
    EXPECT_EQ(quoted("a\xff\nb"), QByteArray("\"a\\xff\\nb\""));
    // The half-written last line of a killed run is not taken for a name.
    EXPECT_FALSE(splitWords("move 2 \"/a/b").has_value());
    EXPECT_FALSE(splitWords("move 2 \"/a\\x4").has_value());
}

TEST_F(JournalFixture, UndoGivesBackTheTreeAndCanItselfBeUndone) {
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
    EXPECT_EQ(run->movesMade(), 2);
    EXPECT_EQ(history.stateOf(*run), RunState::Done);
    Undone undone = undo(files, *run);
    EXPECT_EQ(undone.outcome.movedBack, 2);
    EXPECT_EQ(describeTree(folder), before);
    EXPECT_EQ(history.stateOf(*history.read(run->number)), RunState::Undone);
    // Undone already: refused, nothing changes; the default skips undo runs.
    EXPECT_TRUE(undo(files, *history.read(run->number)).refused);
    EXPECT_FALSE(history.newestToUndo().has_value());

    // Undoing the undo files again and marks the first run done again.
    undone = undo(files, *history.read(undone.run));
    EXPECT_EQ(undone.outcome.movedBack, 2);
    EXPECT_EQ(describeTree(folder), filed);
    EXPECT_EQ(history.stateOf(*history.read(run->number)), RunState::Done);
}

TEST_F(JournalFixture, UndoLeavesItemsMovedSinceAndNeverReplaces) {
    const QByteArray odd("b.txt");
    put("a.txt", "mine");
    put(odd, "b");
    makeFolder(home.desktop() + "/Empty");
    fileTwoItems(odd);
    // The user renames one filed item and puts a new file at the other's old place.
    ASSERT_EQ(::renameat2(AT_FDCWD, (folder / "Words/a.txt").c_str(), AT_FDCWD,
                          (folder / "Words/c.txt").c_str(), RENAME_NOREPLACE),
              0);
    put("a.txt", "other");
    put("Words/a.txt", "new");
    put("b.txt", "in its place");

    const UndoOutcome outcome = undo(files, *history.newestToUndo()).outcome;
    EXPECT_EQ(outcome.movedBack, 0);
    EXPECT_EQ(outcome.skipped,
              QStringList({(folder / "Words/b.txt").display() + ": its old place, " +
                               (folder / "b.txt").display() + ", is taken",
                           (folder / "Words/a.txt").display() +
                               ": it is no longer where the run left it"}));
    EXPECT_EQ(describeTree(folder),  // "Empty" made again, as it was
              QStringList({"Empty d", "Words d", "Words/a.txt f new", "Words/b.txt f b",
                           "Words/c.txt f mine", "a.txt f other", "b.txt f in its place"}));
}

// "Trash" is another file system: a move into or out of it fails (unless a real mount
// makes it so), and the caller then moves the item by copy. Each removal is told first.
class OtherDeviceFileSystem : public LocalFileSystem {
  public:
    bool seam = true;
    std::function<void(const Path&)> removing;

    FileError moveNoReplace(const Path& from, const Path& to) override {
        if (seam && (from.parent().fileName() == "Trash") != (to.parent().fileName() == "Trash"))
            return FileError::fromErrno(EXDEV, to, "move");
        return LocalFileSystem::moveNoReplace(from, to);
    }
    FileError removeAll(const Path& path) override {
        if (removing) removing(path);
        return LocalFileSystem::removeAll(path);
    }
};

// The record says where the complete copy is, with its identity, before the old item is
// removed, so that a run killed then loses nothing; an undo brings the item back the same
// way, and an undo of that undo takes it again. With the seam, and with a real tmpfs when
// this process may mount one.
TEST_F(JournalFixture, ItemMovedAcrossFileSystemsIsRecordedBeforeItGoesAndComesBack) {
    for (const bool realMount : {false, true}) {
        SCOPED_TRACE(realMount ? "tmpfs" : "seam");
        const QString trash = home.desktop() + "/Trash";
        makeFolder(trash);
        if (realMount &&
            (::unshare(CLONE_NEWNS) != 0 ||
             ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
             ::mount("none", QFile::encodeName(trash).constData(), "tmpfs", 0, nullptr) != 0))
            GTEST_SKIP() << "cannot mount here";
        OtherDeviceFileSystem devices;
        devices.seam = !realMount;
        JournalingFileSystem removal(devices, desktidyStateFolder(home.path()));
        const Path item = folder / "Pad", trashed = Path::fromText(trash) / "Pad";
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
        ASSERT_TRUE(whenRemoving.has_value());
        ASSERT_EQ(whenRemoving->entries.size(), 2);  // one move, and its copy in progress
        const RunEntry& move = whenRemoving->entries[0];
        EXPECT_TRUE(move.acrossDevices);
        EXPECT_EQ(move.identity.device, local.status(trashed)->device);
        EXPECT_EQ(move.identity.inode, local.status(trashed)->inode);
        EXPECT_TRUE(whenRemoving->entries[1].path.fileName().startsWith(".Pad.desktidy-partial-"));
        EXPECT_EQ(describeTree(trashed, TreeDetail::ItemTimes), tree);

        const Undone undone = undo(removal, *history.newestToUndo());
        EXPECT_EQ(undone.outcome.movedBack, 1) << undone.outcome.skipped.join('\n').toStdString();
        EXPECT_EQ(describeTree(item, TreeDetail::ItemTimes), tree);
        EXPECT_FALSE(local.exists(trashed));
        EXPECT_EQ(undo(removal, *history.read(undone.run)).outcome.movedBack, 1);
        EXPECT_EQ(describeTree(trashed, TreeDetail::ItemTimes), tree);
        EXPECT_FALSE(local.exists(item));
        ASSERT_TRUE(local.removeAll(trashed).ok());
        if (realMount) ::umount2(QFile::encodeName(trash).constData(), MNT_DETACH);
    }
}

// The record takes inodes from the run's listing; a name the run changed since is
// asked about again.
TEST_F(JournalFixture, AMoveRecordsTheItemAtItsNameNotTheOneTheListingSaw) {
    put("a", "A");
    put("c", "C");
    {
        const OpenRun run(files, "rename", folder);
        NameList listed;
        ASSERT_TRUE(files.readFolder(folder, listed).ok());
        ASSERT_TRUE(files.exchange(folder / "a", folder / "c").ok());
        ASSERT_TRUE(files.moveNoReplace(folder / "a", folder / "d").ok());
    }
    EXPECT_EQ(undo(files, *history.newestToUndo()).outcome.movedBack, 1);
    EXPECT_EQ(readFile(home.desktop() + "/a"), "C");
    EXPECT_FALSE(local.exists(folder / "d"));
}

TEST_F(JournalFixture, MoveThatCannotBeRecordedIsNotMade) {
    put("a.txt");
    writeFile(QFile::decodeName(files.historyFolder().bytes()), "a file in the way");
    const OpenRun run(files, "file", folder);
    EXPECT_FALSE(files.moveNoReplace(folder / "a.txt", folder / "b.txt").ok());
    EXPECT_TRUE(local.exists(folder / "a.txt"));
    EXPECT_FALSE(local.exists(folder / "b.txt"));
}

TEST_F(JournalFixture, StoppedRunIsToldOnceAndItsTemporaryNamesPutRight) {
    put("Name.txt", "case");
    put("keep.txt", "k");
    const Path partial = folder / ".c.desktidy-partial-0123456789abcdef";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        // A run whose process dies half-way: no end mark, no destructors.
        files.beginRun({"rename", folder});
        bool ok = files.moveNoReplace(folder / "keep.txt", folder / "kept.txt").ok() &&
                  files.moveNoReplace(folder / "Name.txt", folder / ".desktidy-case-0").ok() &&
                  files.makeDirectory(partial).ok() &&
                  files.copyEntry(folder / "kept.txt", partial / "half").ok();
        (void)::write(ready[1], ok ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    EXPECT_EQ(history.stateOf(*history.read(1)), RunState::Running);
    EXPECT_TRUE(recoverStoppedRuns(local, history).isEmpty());  // alive: left alone
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    const QList<StoppedRun> stopped = recoverStoppedRuns(local, history);
    ASSERT_EQ(stopped.size(), 1);
    EXPECT_EQ(stopped.first().movesMade, 2);
    EXPECT_EQ(stopped.first().putRight, 2);
    EXPECT_EQ(stopped.first().line(),
              "Run 1 (rename in " + folder.display() +
                  ") stopped before its end, after 2 moves; \u201cdesktidy undo 1\u201d puts "
                  "them back.");
    EXPECT_EQ(readFile(home.desktop() + "/Name.txt"), "case");
    EXPECT_FALSE(local.exists(partial));
    EXPECT_TRUE(recoverStoppedRuns(local, history).isEmpty());  // told once
    EXPECT_EQ(history.stateOf(*history.read(1)), RunState::Stopped);

    (void)undo(files, *history.newestToUndo());
    EXPECT_EQ(readFile(home.desktop() + "/keep.txt"), "k");
    EXPECT_EQ(readFile(home.desktop() + "/Name.txt"), "case");
}

// A restore killed half-way: a and b were back, b's Trash record removed, a's written
// into the run's record but not yet removed; c was back too, and another c has taken its
// name in the Trash since. Undo makes the Trash as it was for a and b, writing b's record
// again before b goes in, and leaves the other c and its record alone.
TEST_F(JournalFixture, AKilledRestoreIsUndoneToTheTrashWithTheRecordsAsTheyWere) {
    const TrashLocation trash = TrashLocation::forHome(Path::fromText(home.path()));
    for (const Path& made : {trash.folder, trash.files(), trash.info(), files.historyFolder()})
        makeFolder(text(made));
    const auto recordOf = [&](const QByteArray& name) {
        return "[Trash Info]\nPath=" + (folder / name).bytes() +
               "\nDeletionDate=2024-01-02T03:04:05\n";
    };
    QByteArray lines = "desktidy-run 1\nkind restore\nfolder " + quoted(trash.files().bytes()) +
                       "\ntime 2024-01-03T00:00:00Z\npid 999999999\n";
    int id = 0;
    for (const QByteArray name : {"a", "b", "c"}) {
        writeItem(trash.files() / name, name);
        writeItem(trash.infoFileFor(name), recordOf(name));
    }
    const QStringList before = describeTree(trash.folder);
    for (const QByteArray name : {"a", "b", "c"}) {
        ASSERT_TRUE(local.moveNoReplace(trash.files() / name, folder / name).ok());
        const std::optional<FileStatus> st = local.status(folder / name);
        ++id;
        lines += "move " + QByteArray::number(id) + ' ' + quoted((trash.files() / name).bytes()) +
                 ' ' + quoted((folder / name).bytes()) + ' ' +
                 identityText({st->device, st->inode}) + "\ndone " + QByteArray::number(id) +
                 "\nunlink " + quoted(trash.infoFileFor(name).bytes()) + ' ' +
                 quoted(recordOf(name)) + '\n';
        if (name != "a") {
            ASSERT_TRUE(local.removeFile(trash.infoFileFor(name)).ok());
        }
    }
    writeItem(trash.files() / "c", "another c");
    writeItem(trash.infoFileFor("c"), "[Trash Info]\nPath=/elsewhere/c\n");
    writeItem(history.recordPath(1), lines);

    const Undone undone = undo(files, *history.read(1));
    EXPECT_EQ(undone.outcome.movedBack, 2);
    EXPECT_EQ(undone.outcome.skipped, QStringList{text(folder / "c") + ": its old place, " +
                                                  text(trash.files() / "c") + ", is taken"});
    QStringList expected = before;
    expected.replaceInStrings("files/c f c", "files/c f another c")
        .replaceInStrings(QRegularExpression("^info/c.trashinfo f .*"),
                          "info/c.trashinfo f [Trash Info]\\x0APath=/elsewhere/c\\x0A");
    EXPECT_EQ(describeTree(trash.folder), expected);
    EXPECT_EQ(contentsOf(folder / "c"), "c");
}

TEST_F(JournalFixture, SecondRunOnAFolderIsRefusedWhileTheFirstHoldsIt) {
    RecordingNotifier notifier;
    RunPipeline pipeline(files, prompter, notifier);
    {
        ActiveRun first = pipeline.begin({RunKind::File, {folder}});
        ASSERT_TRUE(first.started());
        // Within the run the folder's lock is the run's own, however it is spelled.
        EXPECT_TRUE(first.context().addFolder(Path(folder.bytes() + "/.")));
        FolderLock other;
        EXPECT_EQ(other.acquire(files.lockFolder(), folder), FolderLock::Outcome::Busy);
        (void)first.end(RunResult::Done);
    }
    // Another process's run on the home folder (its lock, taken here) keeps this one off.
    FolderLock other;
    const Path busy = Path::fromText(home.path());
    ASSERT_EQ(other.acquire(files.lockFolder(), busy), FolderLock::Outcome::Held);
    bool ran = false;
    const RunEnd refused = pipeline.run({RunKind::Unfile, {busy}}, [&](RunContext&) {
        ran = true;
        return RunResult::Done;
    });
    EXPECT_FALSE(ran || refused.started);
    EXPECT_EQ(refused.result, RunResult::Failed);
    EXPECT_EQ(prompter.calls, QStringList("critical|Another Desktidy run is changing " +
                                          busy.display() + ". Try again when it has finished."));
    other.release();
    EXPECT_TRUE(pipeline.run({RunKind::Unfile, {busy}}, [](RunContext&) { return RunResult::Done; })
                    .started);
}

TEST_F(JournalFixture, PruneKeepsTheLastHundredRunsAndNoneOlderThanNinetyDays) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    put("a");
    for (int i = 0; i < 103; ++i) {
        files.clock = [&] { return i == 5 ? now.addDays(-91) : now; };
        files.beginRun({"rename", folder});
        const QByteArray from = i % 2 ? "b" : "a", to = i % 2 ? "a" : "b";
        ASSERT_TRUE(files.moveNoReplace(folder / from, folder / to).ok());
        files.endRun(RunOutcome::Done);
    }
    history.prune(now);
    const QList<int> kept = history.numbers();
    EXPECT_EQ(kept.size(), 99);
    EXPECT_EQ(kept.first(), 4);
    EXPECT_FALSE(kept.contains(6));
}

}  // namespace
