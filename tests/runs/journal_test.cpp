#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>

#include "journal_fixture.h"
#include "runs/folder_lock.h"
#include "runs/run_pipeline.h"
#include "runs/run_recovery.h"

namespace {

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

// The record takes inodes from the run's listing; a name the run changed since is
// asked about again. Twice: while the listing is searched name by name, and after a name
// change's many new names have made it keep a hash of its names.
TEST_F(JournalFixture, AMoveRecordsTheItemAtItsNameNotTheOneTheListingSaw) {
    for (const char* name : {"a", "c", "e", "g"}) put(name, QByteArray(name).toUpper());
    for (int i = 0; i < 300; ++i) put("f" + QByteArray::number(i));
    {
        const OpenRun run(files, "rename", folder);
        NameList listed;
        ASSERT_TRUE(files.readFolder(folder, listed).ok());
        ASSERT_TRUE(files.exchange(folder / "a", folder / "c").ok());
        ASSERT_TRUE(files.moveNoReplace(folder / "a", folder / "d").ok());
        for (int i = 0; i < 100; ++i)
            ASSERT_TRUE(files
                            .moveNoReplace(folder / ("f" + QByteArray::number(i)),
                                           folder / ("n" + QByteArray::number(i)))
                            .ok());
        ASSERT_TRUE(files.exchange(folder / "e", folder / "g").ok());
        ASSERT_TRUE(files.moveNoReplace(folder / "e", folder / "h").ok());
    }
    EXPECT_EQ(undo(*history.newestToUndo()).movedBack, 102);
    EXPECT_EQ(readFile(home.desktop() + "/a"), "C");
    EXPECT_EQ(readFile(home.desktop() + "/e"), "G");
    EXPECT_FALSE(local.exists(folder / "d"));
    EXPECT_FALSE(local.exists(folder / "h"));
}

// A step whose intent cannot be stored is not made: neither when the record cannot be
// made (a file where the history folder goes) nor when it is open but full.
TEST_F(JournalFixture, AStepThatCannotBeRecordedIsNotMade) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) put(name, name);
    ASSERT_TRUE(local.makeDirectory(folder / QByteArray(120, 'e')).ok());
    const QStringList before = describeTree(folder);
    {
        JournalingFileSystem full(local, desktidyStateFolder(home.path()));
        full.recordLimit = 300;  // the head and one move
        const OpenRun run(full, "file", folder);
        EXPECT_TRUE(full.moveNoReplace(folder / "a.txt", folder / "A.txt").ok());
        const FileError refused = full.moveNoReplace(folder / "b.txt", folder / "B.txt");
        EXPECT_EQ(refused.message,
                  "Could not write the run record \u201c1.run\u201d: File too large.");
        EXPECT_EQ(full.recordError().code, EFBIG);
        EXPECT_FALSE(full.makeDirectory(folder / QByteArray(120, 'n')).ok());
        EXPECT_FALSE(full.removeEmptyDirectory(folder / QByteArray(120, 'e')).ok());
        EXPECT_FALSE(full.exchange(folder / "c.txt", folder / "A.txt").ok());
    }
    EXPECT_EQ(describeTree(folder), QStringList({"A.txt f a.txt", "b.txt f b.txt", "c.txt f c.txt",
                                                 QString(120, 'e') + " d"}));
    EXPECT_EQ(undo(*history.read(1)).movedBack, 1);
    EXPECT_EQ(describeTree(folder), before);

    ASSERT_TRUE(QDir(QString::fromUtf8(files.historyFolder().bytes())).removeRecursively());
    writeFile(QString::fromUtf8(files.historyFolder().bytes()), "a file in the way");
    const OpenRun run(files, "file", folder);
    EXPECT_FALSE(files.moveNoReplace(folder / "a.txt", folder / "A.txt").ok());
    EXPECT_EQ(describeTree(folder), before);
}

int syncs = 0;
QByteArray syncedText;

// The record reaches the disk once, at its end, with every line in it.
TEST_F(JournalFixture, TheRecordIsSyncedOnceAtItsEnd) {
    RunJournal::syncFile = [](int fd) {
        ++syncs;
        syncedText = readRecordPart(fd, 0, 4096);
        return 0;
    };
    put("a", "a");
    files.beginRun({"rename", folder});
    for (const auto& [from, to] : {std::pair{"a", "b"}, {"b", "c"}, {"c", "d"}})
        ASSERT_TRUE(files.moveNoReplace(folder / from, folder / to).ok());
    EXPECT_EQ(syncs, 0);
    files.endRun(RunOutcome::Done);
    RunJournal::syncFile = ::fsync;
    EXPECT_EQ(syncs, 1);
    EXPECT_TRUE(syncedText.endsWith("done 3\nend done\n")) << syncedText.toStdString();
    EXPECT_EQ(syncedText, readFile(QString::fromUtf8(history.recordPath(1).bytes())));
}

// A record takes its number only once it holds its head and is locked, so that another
// program's recovery never meets an empty one, nor ever removes one. Only names the
// program writes count as numbers: one past the largest number is never reached.
TEST_F(JournalFixture, ARecordIsSeenOnlyWithItsHeadUnderTheNextNumber) {
    put("a", "a");
    writeRecord(5, "kind file\nend done\n");
    for (const char* odd :
         {"0009.run", "-3.run", "+8.run", "2147483647.run", "1000000000.run", "7a.run"})
        writeItem(files.historyFolder() / odd);
    writeItem(history.recordPath(4));  // empty, unlocked: as an older program made them
    files.beginRun({"rename", folder});
    ASSERT_TRUE(files.moveNoReplace(folder / "a", folder / "b").ok());
    EXPECT_EQ(history.numbers(), QList<int>({4, 5, 6}));
    EXPECT_TRUE(history.isLive(6));
    EXPECT_EQ(history.readHead(6)->kind, "rename");
    EXPECT_TRUE(recoverStoppedRuns(local, history).isEmpty());
    EXPECT_TRUE(local.exists(history.recordPath(4)));
    files.endRun(RunOutcome::Done);
    EXPECT_EQ(QDir(QString::fromUtf8(files.historyFolder().bytes()))
                  .entryList(QDir::Files | QDir::Hidden)
                  .filter(".new"),
              QStringList());

    writeItem(history.recordPath(maxRunNumber));
    files.beginRun({"rename", folder});
    const FileError refused = files.moveNoReplace(folder / "b", folder / "a");
    EXPECT_EQ(refused.message, "Could not create a run record: the run numbers in " +
                                   files.historyFolder().display() +
                                   " have reached their end (999999999). Move the records out "
                                   "of it to start again at 1.");
    EXPECT_TRUE(local.exists(folder / "b"));
    files.endRun(RunOutcome::Done);
}

// Anything may be put in the history folder: a link, a pipe, a device, a file of several
// names or of any size. Nothing but a record is read, followed, truncated, removed or
// waited on.
TEST_F(JournalFixture, TheHistoryReadsOnlyRegularRecordsOfOneLinkAndBoundedSize) {
    put("a", "a");
    runAndDie("rename", [&] { return files.moveNoReplace(folder / "a", folder / "b").ok(); });
    const Path historyFolder = files.historyFolder();
    const QByteArray killed = "desktidy-run 1\nkind file\nmove 1 \"/x\" \"/y\" 1:2\n";
    const Path outside = Path::fromText(home / "outside.run");
    writeItem(outside, killed + QByteArray(8, '\0') + "kept");
    ASSERT_EQ(::symlink(outside.c_str(), history.recordPath(2).c_str()), 0);
    ASSERT_EQ(::symlink("/dev/zero", history.recordPath(3).c_str()), 0);
    ASSERT_EQ(::mkfifo(history.recordPath(4).c_str(), 0600), 0);
    writeItem(history.recordPath(5), killed);
    ASSERT_EQ(::link(history.recordPath(5).c_str(), (historyFolder / "linked").c_str()), 0);
    writeItem(history.recordPath(6), killed);
    ASSERT_EQ(::truncate(history.recordPath(6).c_str(), maxRecordBytes + 1), 0);
    makeFolder(QString::fromUtf8(history.recordPath(7).bytes()));

    EXPECT_EQ(history.numbers(), QList<int>({1, 2, 3, 4, 5, 6, 7}));
    const QList<StoppedRun> stopped = recoverStoppedRuns(local, history);
    ASSERT_EQ(stopped.size(), 1);
    EXPECT_EQ(stopped.first().number, 1);
    for (int number = 2; number <= 7; ++number) {
        EXPECT_FALSE(history.read(number).has_value()) << number;
        EXPECT_FALSE(history.readHead(number).has_value()) << number;
        EXPECT_FALSE(history.isLive(number)) << number;
    }
    EXPECT_EQ(history.newestToUndo()->number, 1);
    history.prune(QDateTime::currentDateTimeUtc().addYears(1));
    EXPECT_EQ(history.numbers(), QList<int>({2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(contentsOf(outside), killed + QByteArray(8, '\0') + "kept");
    EXPECT_FALSE(appendToRecord(history.recordPath(2), "noticed"));
    EXPECT_FALSE(appendToRecord(history.recordPath(4), "noticed"));
}

// Plain undo passes over undos and copies, and never reaches past a run still going.
TEST_F(JournalFixture, PlainUndoPassesOverUndosAndCopiesAndStopsAtARunStillGoing) {
    put("a", "a");
    const auto run = [&](const QByteArray& kind, const char* from, const char* to) {
        files.beginRun({kind, folder});
        ASSERT_TRUE(files.moveNoReplace(folder / from, folder / to).ok());
        files.endRun(RunOutcome::Done);
    };
    put("p", "p");
    run("rename", "a", "b");
    run("pack", "p", "q");
    run("unpack", "q", "r");
    EXPECT_EQ(history.newestToUndo()->number, 1);
    EXPECT_EQ(undo(*history.read(1)).undoRun, 4);
    EXPECT_FALSE(history.newestToUndo().has_value());
    run("rename", "a", "e");
    EXPECT_EQ(history.newestToUndo()->number, 5);

    const Path other = Path::fromText(home / "Other");
    writeFile(home / "Other/x", "x");
    files.beginRun({"file", other});
    ASSERT_TRUE(files.moveNoReplace(other / "x", other / "y").ok());
    const std::optional<RunRecord> newest = history.newestToUndo();
    EXPECT_EQ(newest->number, 6);
    EXPECT_EQ(undo(*newest).message, "Run 6 (Desktidy) is still running.");
    files.endRun(RunOutcome::Done);
}

TEST_F(JournalFixture, SecondRunOnAFolderIsRefusedWhileTheFirstHoldsIt) {
    RecordingNotifier notifier;
    RunPipeline pipeline(files, prompter, notifier);
    ActiveRun first = pipeline.begin({RunKind::File, {folder}});
    ASSERT_TRUE(first.started());
    // Within the run the folder's lock is the run's own, however it is spelled.
    EXPECT_TRUE(first.context().addFolder(Path(folder.bytes() + "/.")));
    FolderLock other;
    EXPECT_EQ(other.acquire(files.lockFolder(), folder), FolderLock::Outcome::Busy);
    (void)first.end(RunResult::Done);
    // Another process's lock refusing a run: PackIntoAFolderThatAnotherRunHoldsIsRefused.
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
