#include <gtest/gtest.h>

#include "journal_fixture.h"
#include "runs/run_recovery.h"

namespace {

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
    EXPECT_EQ(stopped.first().movesMade, 1);  // a temporary name is no item's
    EXPECT_EQ(stopped.first().putRight, 2);
    EXPECT_EQ(stopped.first().line(Wording::CommandLine),
              "Run 1 (rename in " + folder.display() +
                  ") stopped before its end, after 1 move; \u201cdesktidy undo 1\u201d puts "
                  "it back.");
    EXPECT_EQ(readFile(home.desktop() + "/Name.txt"), "case");
    EXPECT_FALSE(local.exists(partial));
    EXPECT_TRUE(recoverStoppedRuns(local, history).isEmpty());  // told once
    EXPECT_EQ(history.stateOf(*history.read(1)), RunState::Stopped);

    undo(*history.newestToUndo());
    EXPECT_EQ(readFile(home.desktop() + "/keep.txt"), "k");
    EXPECT_EQ(readFile(home.desktop() + "/Name.txt"), "case");
}

// A name change that swaps x and y sets x aside under a cycle's hidden name, moves y to x,
// then moves x on to y. Killed on the way, the item set aside goes back to its name when
// that is free, else on to the name it was going to when the record has it and it is
// free; else it stays for undo, and the start-up line says so.
TEST_F(JournalFixture, AnItemOfACycleGoesBackOrOnOrIsLeftForUndo) {
    struct Case {
        const char* name;
        int steps;          // of the three moves, those made
        bool nextRecorded;  // whether the third is written down
        QStringList recovered;
        int putRight;
    } cases[] = {
        {"back to its name", 1, false, {"x f x", "y f y"}, 1},
        {"on to its new name", 2, true, {"x f y", "y f x"}, 1},
        {"left for undo", 2, false, {".desktidy-rename-0 f x", "x f y"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        JournalingFileSystem files(local, desktidyStateFolder(home.path()));
        const RunHistory history(files.historyFolder());
        makeFolder(home.desktop());
        const Path folder = Path::fromText(home.desktop());
        const Path aside = folder / ".desktidy-rename-0", x = folder / "x", y = folder / "y";
        writeItem(x, "x");
        writeItem(y, "y");
        const pid_t child = ::fork();
        if (child == 0) {
            files.beginRun({"rename", folder});
            bool ok = files.moveNoReplace(x, aside).ok();
            if (c.steps > 1) ok = ok && files.moveNoReplace(y, x).ok();
            ::_exit(ok ? 0 : 1);
        }
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
        if (c.nextRecorded) {
            // The third move as the run writes it before making it, the mark before it too.
            const Path record = history.recordPath(1);
            QByteArray text = contentsOf(record);
            text.truncate(text.indexOf('\0'));
            writeItem(record, text + "done 2\nmove 3 " + quoted(aside.bytes()) + ' ' +
                                  quoted(y.bytes()) + ' ' + identityAt(aside) + '\n');
        }
        const QList<StoppedRun> stopped = recoverStoppedRuns(local, history);
        ASSERT_EQ(stopped.size(), 1);
        EXPECT_EQ(describeTree(folder), c.recovered);
        EXPECT_EQ(stopped.first().putRight, c.putRight);
        EXPECT_EQ(stopped.first().leftAside, c.putRight ? QList<Path>() : QList<Path>{aside});
        if (!c.putRight) {
            EXPECT_TRUE(
                stopped.first()
                    .line(Wording::Window)
                    .endsWith(
                        " 1 item is still under a temporary name, as its name is taken (undo puts "
                        "them back): " +
                        aside.display() + "."))
                << stopped.first().line(Wording::Window).toStdString();
        }
        (void)undo(*history.read(1));
        EXPECT_EQ(describeTree(folder), QStringList({"x f x", "y f y"}));
    }
}

// The "done" marks a kill took are written by recovery for the moves found made, so that
// the run's count stays what the start-up line said once undo has moved them back.
TEST_F(JournalFixture, RecoveryWritesTheDoneMarksAKillTook) {
    put("a", "a");
    put("b", "b");
    runAndDie("rename", [&] {
        return files.moveNoReplace(folder / "a", folder / "c").ok() &&
               files.moveNoReplace(folder / "b", folder / "d").ok();
    });
    EXPECT_FALSE(history.read(1)->entries.last().done);
    EXPECT_EQ(history.read(1)->itemCount(local), 2);
    EXPECT_EQ(recoverStoppedRuns(local, history).first().movesMade, 2);
    EXPECT_TRUE(history.read(1)->entries.last().done);
    EXPECT_EQ(undo(*history.read(1)).movedBack, 2);
    EXPECT_EQ(history.read(1)->itemCount(local), 2);
}

}  // namespace
