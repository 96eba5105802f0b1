// Crash points: each run is killed right after its k-th change to the disk, for every k
// from 1 until it runs to its end (DESKTIDY_CRASH_AFTER_CHANGES, platform/disk_changes.h).
// After each kill the next start and an undo must give back the tree as it was, name for
// name and byte for byte; a pack, which is not undone, must leave its destination wholly
// the old copy or wholly the new one, with nothing half-made.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <functional>
#include <iostream>

#include "app/run_desktidy.h"
#include "platform/copy_tree.h"
#include "support/qstring_printer.h"
#include "support/tree_listing.h"

namespace {

struct Killed {
    bool crashed = false;  // false: the run came to its end unkilled
    QString err;
};

Killed runKilledAfter(int changes, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DESKTIDY_CRASH_AFTER_CHANGES", QString::number(changes));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(DESKTIDY_BINARY, arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::CrashExit,
            QString::fromUtf8(process.readAllStandardError())};
}

// Every item a run or its set-up may change: the home but the program's own state.
QStringList homeTree(const TempHome& home) {
    QStringList items = describeTree(Path::fromText(home.path()));
    items.removeIf([](const QString& item) {
        return item.startsWith(".local/state") || item.startsWith(".config") ||
               item.startsWith(".runtime") || item == ".local d";
    });
    return items;
}

// The number of the stop line, the history's count and undo's count of one run.
int numberAfter(const QString& text, const QString& pattern) {
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

struct Scenario {
    const char* name;
    std::function<void(const TempHome&)> prepare;  // makes the home the run starts from
    QStringList run;                               // after --yes; "%d" stands for the desktop
    // What the next start and undo must give back, when not the home the run started from.
    std::function<void(const TempHome&)> undoneHome = nullptr;
    bool undoable = true;
};

void setOld(const Path& path) {
    const timespec old[2] = {{0, UTIME_OMIT}, {1577836800, 0}};  // modified 2020-01-01
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, AT_SYMLINK_NOFOLLOW), 0);
}

// A few loose items of several types, names that are not UTF-8 among them, two of them old
// enough to be archived.
void looseDesktop(const TempHome& home) {
    const Path desktop = Path::fromText(home.desktop());
    makeFolder(home.desktop());
    const QByteArray names[] = {"a.jpg",         "b\xff.jpg", "c.txt",     "d\n.pdf",
                                "e.mp3",         "f.zip",     "g",         "h.png",
                                "i\xfe\xfd.doc", "old 1.jpg", "old 2.txt", "j.mov"};
    for (const QByteArray& name : names) writeItem(desktop / name, "contents of " + name);
    setOld(desktop / "old 1.jpg");
    setOld(desktop / "old 2.txt");
    ASSERT_EQ(desktidy({"archive-date", "2024", "6"}).status, 0);
}

void namedItems(const TempHome& home, const QList<QByteArray>& names) {
    makeFolder(home.desktop());
    for (const QByteArray& name : names) writeItem(Path::fromText(home.desktop()) / name, name);
}

QStringList argumentsFor(const Scenario& scenario, const TempHome& home) {
    QStringList arguments{"--yes"};
    for (const QString& word : scenario.run) arguments << (word == "%d" ? home.desktop() : word);
    return arguments;
}

// Kills the scenario's run after every change in turn; see the file's head.
void killAtEveryChange(const Scenario& scenario) {
    SCOPED_TRACE(scenario.name);
    QStringList expected, copied;  // the home undo gives back; a copy run's finished home
    {
        const TempHome home;
        (scenario.undoneHome ? scenario.undoneHome : scenario.prepare)(home);
        expected = homeTree(home);
    }
    if (!scenario.undoable) {
        const TempHome home;
        scenario.prepare(home);
        ASSERT_EQ(desktidy(argumentsFor(scenario, home)).status, 0);
        copied = homeTree(home);
    }
    for (int k = 1;; ++k) {
        SCOPED_TRACE(k);
        const TempHome home;
        scenario.prepare(home);
        const QStringList before = homeTree(home);
        const Killed killed = runKilledAfter(k, argumentsFor(scenario, home));
        if (!killed.crashed) {
            ASSERT_GT(k, 3);  // it did change something
            std::cout << scenario.name << ": " << k - 1 << " crash points\n";
            return;
        }
        // The next start tells of the stopped run and puts right what it left half-way.
        const Outcome history = desktidy({"history"});
        const bool stopped = history.out.contains("  stopped ");
        EXPECT_EQ(history.err.contains("stopped before its end"), stopped)
            << history.err.toStdString();
        if (!scenario.undoable) {
            EXPECT_FALSE(history.err.contains("puts them back")) << history.err.toStdString();
            const QStringList now = homeTree(home);
            EXPECT_TRUE(now == before || now == copied) << now.join("\n").toStdString();
            continue;
        }
        const Outcome undone = desktidy({"--yes", "undo"});
        // The home this run started from, when undo gives back that one: its records name
        // the home's own path.
        EXPECT_EQ(homeTree(home), scenario.undoneHome ? expected : before)
            << (history.err + undone.err).toStdString();
        if (!stopped) continue;
        EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
        if (scenario.undoneHome) continue;  // undo took another run than the one killed
        // One count: the stop line, history and undo say the same of the run.
        const int told = numberAfter(history.err, "after (\\d+) moves?;");
        EXPECT_EQ(numberAfter(undone.out, ": (\\d+) items? moved back"), told)
            << undone.out.toStdString();
        EXPECT_EQ(numberAfter(history.out, "(\\d+)  stopped "), told) << history.out.toStdString();
    }
}

TEST(CrashPoints, FilingWithArchivingIsPutBackAfterAKillAtEveryChange) {
    killAtEveryChange({"filing", looseDesktop, {"file", "%d"}});
}

TEST(CrashPoints, UnfilingIsPutBackAfterAKillAtEveryChange) {
    killAtEveryChange({"unfiling",
                       [](const TempHome& home) {
                           looseDesktop(home);
                           ASSERT_EQ(desktidy({"--yes", "file", home.desktop()}).status, 0);
                           ASSERT_TRUE(QDir(home / ".local/state").removeRecursively());
                           makeFolder(home.desktop() + "/Web");  // empty: unfiling removes it
                       },
                       {"unfile", "%d"}});
}

// Two items swap names through a hidden name (the plan then stops at its alert), and a
// case change that moves names along a chain.
TEST(CrashPoints, NameChangesArePutBackAfterAKillAtEveryChange) {
    killAtEveryChange(
        {"cycle",
         [](const TempHome& home) {
             namedItems(home, {"1a1", "a", "x\xff"});
         },
         {"rename", "%d", "--prefix-number2", "--suffix-number2", "--remove-numbers"}});
    killAtEveryChange({"case",
                       [](const TempHome& home) {
                           namedItems(home, {"A", "a", "b\xff", "c"});
                       },
                       {"rename", "%d", "--replace", "A", "--with", "B", "--upper"}});
}

TEST(CrashPoints, UndoOfAFilingIsPutBackAfterAKillAtEveryChange) {
    killAtEveryChange({"undo",
                       [](const TempHome& home) {
                           looseDesktop(home);
                           ASSERT_EQ(desktidy({"--yes", "file", home.desktop()}).status, 0);
                           // The filed desktop stays as its record: the killed run undoes it.
                       },
                       {"undo"},
                       looseDesktop});
}

// Items of the Trash put back: one into folders that must be made, a folder holding a
// name that is not UTF-8, and one whose place is taken, which stays.
TEST(CrashPoints, PuttingBackFromTheTrashIsUndoneAfterAKillAtEveryChange) {
    killAtEveryChange({"restore",
                       [](const TempHome& home) {
                           namedItems(home, {"taken.txt"});
                           const Path trash = Path::fromText(home / ".local/share/Trash");
                           for (const char* folder : {"files/box", "info"})
                               makeFolder(text(trash / folder));
                           const auto trashed = [&](const QByteArray& name,
                                                    const QByteArray& place) {
                               writeItem(trash / "files" / name, name);
                               writeItem(trash / "info" / (name + ".trashinfo"),
                                         "[Trash Info]\nPath=" + QFile::encodeName(home.desktop()) +
                                             place + "\nDeletionDate=2024-05-06T07:08:09\n");
                           };
                           trashed("a.txt", "/Sub/Deeper/a.txt");
                           trashed("taken.txt", "/taken.txt");
                           writeItem(trash / "files/box/x\xff", "odd");
                           writeItem(trash / "info/box.trashinfo",
                                     "[Trash Info]\nPath=" + QFile::encodeName(home.desktop()) +
                                         "/box\nDeletionDate=2024-05-06T07:08:09\n");
                       },
                       {"trash", "restore", "a.txt", "box", "taken.txt"}});
}

// A copy over an older one, replaced without asking.
TEST(CrashPoints, PackLeavesTheOldOrTheNewCopyAfterAKillAtEveryChange) {
    killAtEveryChange(
        {"pack",
         [](const TempHome& home) {
             for (const char* name : {"Src/T/a", "Src/T/sub/b\xff", "Src/T/c"})
                 writeFile(home / name, name);
             writeFile(home / "Dest/T/a", "old a");
             writeFile(home / "Dest/T/old", "old");
             ASSERT_EQ(desktidy({"pack-list", "add", home / "Src/T", home / "Dest"}).status, 0);
         },
         {"pack"},
         nullptr,
         false});
}

}  // namespace
