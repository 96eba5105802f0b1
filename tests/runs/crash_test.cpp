#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include "app/run_desktidy.h"
#include "runs/folder_lock.h"
#include "runs/journaling_file_system.h"
#include "support/qstring_printer.h"
#include "support/tree_listing.h"

namespace {

// A desktop of many loose items of several types, with names of any bytes.
Path makeDesktop(const TempHome& home, int count) {
    const Path desktop = Path::fromText(home.desktop());
    makeFolder(home.desktop());
    const char* types[] = {".txt", ".jpg", ".mp3", ".pdf", ".zip", ""};
    for (int i = 0; i < count; ++i) {
        const QByteArray name =
            "item " + QByteArray::number(i) + (i % 7 == 0 ? "\xff\n" : "") + types[i % 6];
        writeItem(desktop / name, QByteArray::number(i * 7919));
    }
    return desktop;
}

TEST(RunsEndToEnd, UndoGivesBackTheTreeAfterFilingUnfilingAndNameChanges) {
    TempHome home;
    const Path desktop = makeDesktop(home, 40);
    const QString folder = home.desktop();
    const QStringList original = describeTree(desktop);

    ASSERT_EQ(desktidy({"--yes", "file", folder}).status, 0);
    const QStringList filed = describeTree(desktop);
    ASSERT_NE(filed, original);
    ASSERT_EQ(desktidy({"--yes", "unfile", folder}).status, 0);
    ASSERT_EQ(
        desktidy({"--yes", "rename", folder, "--replace", "item", "--with", "x", "--prefix", "P-",
                  "--suffix", "-S", "--suffix-number", "--remove-spaces", "--upper", "--folders"})
            .status,
        0);
    Outcome undone = desktidy({"--yes", "undo"});
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    ASSERT_EQ(desktidy({"--yes", "undo"}).status, 0);  // the unfiling
    EXPECT_EQ(describeTree(desktop), filed);
    ASSERT_EQ(desktidy({"--yes", "undo"}).status, 0);  // the filing
    EXPECT_EQ(describeTree(desktop), original);

    const Outcome history = desktidy({"history"});
    EXPECT_EQ(history.status, 0);
    const QStringList lines = history.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    // Kinds are named as the commands that make them.
    EXPECT_TRUE(lines[0].contains(QRegularExpression("^   1  .*  file  +34  undone   " +
                                                     QRegularExpression::escape(folder) + "$")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[5].contains("  undo  ")) << lines[5].toStdString();

    const Outcome none = desktidy({"--yes", "undo"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "desktidy undo: there is no run to undo\n");
    EXPECT_EQ(desktidy({"--yes", "undo", "1"}).status, 1);  // undone already
    EXPECT_EQ(desktidy({"--yes", "undo", "x"}).status, 2);
    EXPECT_EQ(desktidy({"--yes", "undo", "99"}).status, 1);
}

// Archiving and filing every listed folder make one run over two folders; its undo gives
// both back, the archive folders it made removed.
TEST(RunsEndToEnd, UndoGivesBackEveryFolderAfterArchivingFileAll) {
    TempHome home;
    const Path desktop = makeDesktop(home, 30);
    const QString other = home / "Other";
    for (const char* name : {"old.jpg", "new.jpg", "new.txt"}) writeFile(other + "/" + name, name);
    const timespec old[2] = {{0, UTIME_OMIT}, {1577836800, 0}};  // modified 2020-01-01
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(other + "/old.jpg"), old, 0), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, (desktop / "item 3.pdf").c_str(), old, 0), 0);
    const QStringList original = describeTree(desktop) + describeTree(Path::fromText(other));

    ASSERT_EQ(desktidy({"folders", "add", home.desktop(), other}).status, 0);
    ASSERT_EQ(desktidy({"archive-date", "2024", "6"}).status, 0);
    ASSERT_EQ(desktidy({"--yes", "file", "--all"}).status, 0);
    ASSERT_TRUE(QFile::exists(other + "/Archive/Images/old.jpg"));
    ASSERT_TRUE(QFile::exists(home.desktop() + "/Archive/Words/item 3.pdf"));
    const Outcome undone = desktidy({"--yes", "undo"});
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    EXPECT_EQ(describeTree(desktop) + describeTree(Path::fromText(other)), original);
}

TEST(RunsEndToEnd, UndoOfAnApplicationRemovalPutsEveryItemBack) {
    TempHome home;
    const QString app = writeAppBundle(home / "Applications/Pad.app", "org.x.scribble");
    writeFile(home / ".config/Pad/settings", "mine");
    writeFile(home / ".cache/Pad", "cache");
    // The program's own settings and history aside, the home as it is.
    const auto homeItems = [&] {
        QStringList items = describeTree(Path::fromText(home.path()));
        items.removeIf([](const QString& item) {
            return item.startsWith(".local/state") || item == ".local d" ||
                   item.startsWith(".config/Desktidy");
        });
        return items;
    };
    const QStringList before = homeItems();
    ASSERT_EQ(desktidy({"--yes", "remove-app", app}).status, 0);
    ASSERT_FALSE(QFile::exists(home / ".config/Pad/settings"));
    const Outcome undone = desktidy({"--yes", "undo"});
    EXPECT_EQ(undone.status, 0);
    EXPECT_EQ(undone.out, "Undid run 1 (remove-app): 3 items moved back.\n");
    EXPECT_EQ(homeItems(), before);
}

TEST(RunsEndToEnd, PackIntoAFolderThatAnotherRunHoldsIsRefused) {
    TempHome home;
    writeFile(home / "Taxes/a.txt", "a");
    const QString stick = home / "Stick";
    makeFolder(stick);
    ASSERT_EQ(desktidy({"pack-list", "add", home / "Taxes", stick}).status, 0);
    LocalFileSystem local;
    JournalingFileSystem files(local, desktidyStateFolder(home.path()));
    FolderLock other;  // as another process's run holds it
    ASSERT_EQ(other.acquire(files.lockFolder(), Path::fromText(stick)), FolderLock::Outcome::Held);
    const Outcome refused = desktidy({"--yes", "pack"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("Another Desktidy run is changing " + stick +
                                     ". Try again when it has finished."))
        << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(stick + "/Taxes"));
    other.release();
    EXPECT_EQ(desktidy({"--yes", "pack"}).status, 0);
    EXPECT_EQ(readFile(stick + "/Taxes/a.txt"), "a");
}

// Kills the run at a random instant, then recovers: nothing is lost, and undoing the
// stopped run gives back the tree as it was. fileFirst: the run starts on a filed desktop
// (whose filing is then forgotten, so that the killed run is the only one to undo).
void killAndRecover(const QStringList& run, int trials, bool fileFirst = false) {
    for (int trial = 0; trial < trials; ++trial) {
        TempHome home;
        const Path desktop = makeDesktop(home, 1500);
        if (fileFirst) {
            ASSERT_EQ(desktidy({"--yes", "file", home.desktop()}).status, 0);
            ASSERT_TRUE(QDir(home.path() + "/.local/state/Desktidy/history").removeRecursively());
        }
        const QStringList original = describeTree(desktop);
        QProcess process;
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(DESKTIDY_BINARY, QStringList{"--yes"} + run + QStringList{home.desktop()});
        ASSERT_TRUE(process.waitForStarted());
        // Once the run has begun to move items.
        const QString record = home.path() + "/.local/state/Desktidy/history/1.run";
        while (!QFile::exists(record) && process.state() == QProcess::Running) QThread::msleep(1);
        QThread::msleep(QRandomGenerator::global()->bounded(0, 40));
        ::kill(process.processId(), SIGKILL);
        process.waitForFinished();
        // A kill can also land after the run's end mark, while the process exits.
        QFile recordFile(record);
        const bool ended =
            recordFile.open(QIODevice::ReadOnly) && recordFile.readAll().contains("\nend ");

        // Killed before its first step was written down, a run has nothing to undo.
        const Outcome undone = desktidy({"--yes", "undo"});
        if (!undone.err.contains("there is no run to undo")) {
            EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
            if (process.exitStatus() == QProcess::CrashExit && !ended) {
                EXPECT_TRUE(undone.err.contains("stopped before its end"))
                    << undone.err.toStdString();
            }
        }
        EXPECT_EQ(describeTree(desktop), original) << "trial " << trial << undone.err.toStdString();
    }
}

TEST(RunsEndToEnd, KilledFilingIsUndoneToTheOriginalTree) { killAndRecover({"file"}, 3); }

TEST(RunsEndToEnd, KilledUnfilingIsUndoneToTheFiledTree) { killAndRecover({"unfile"}, 2, true); }

TEST(RunsEndToEnd, KilledNameChangeIsUndoneToTheOriginalTree) {
    killAndRecover({"rename", "--prefix", "new ", "--upper", "--folders"}, 2);
}

}  // namespace
