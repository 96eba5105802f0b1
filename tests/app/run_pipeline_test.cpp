#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <chrono>
#include <thread>

#include "controller_fixture.h"
#include "run_desktidy.h"
#include "runs/folder_lock.h"
#include "runs/run_history.h"
#include "support/qstring_printer.h"

namespace {

void makeLoose(const QString& folder, int count) {
    makeFolder(folder);
    for (int i = 0; i < count; ++i)
        ::close(::creat(QFile::encodeName(folder + QString("/%1.jpg").arg(i)), 0644));
}

// The state `history` gives run number.
QString stateOfRun(int number) {
    static const QRegularExpression state(" (done|stopped|failed|undone|running) ");
    for (const QString& line : desktidy({"history"}).out.split('\n', Qt::SkipEmptyParts))
        if (line.section(' ', 0, 0, QString::SectionSkipEmpty).toInt() == number)
            return state.match(line).captured(1);
    return QString();
}

// Whether folder holds an entry whose name starts with prefix.
bool holdsEntryStarting(const QString& folder, const QString& prefix) {
    return !QDir(folder)
                .entryList({prefix + "*"}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                .isEmpty();
}

// Every kind of run a signal can stop: it stops after the item in hand, its record is
// ended as stopped, the process exits 130 (the scheduled run too, whose handlers are in
// place from the start), and nothing claims the run was done.
TEST(RunsStopped, EveryKindStopsOnASignalAndIsRecordedStopped) {
    struct Row {
        const char* name;
        int signal;
        QStringList arguments;
        bool fileFirst;   // the run is an unfiling of a filed desktop
        QString waitFor;  // an entry that shows the run has begun changing things
        QString notSaid;  // what a run that went to its end would have said
        QString notMade;  // what reaching the second folder, or row, would have made
    };
    const Row rows[] = {
        {"file", SIGINT, {"--yes", "file", "Desk"}, false, "Desk/Images/", "", "Other/Images"},
        {"file-all",
         SIGHUP,
         {"--yes", "file", "--all"},
         false,
         "Desk/Images/",
         "Done filing all of your files",
         "Other/Images"},
        {"scheduled",
         SIGTERM,
         {"1"},
         false,
         "Desk/Images/",
         "Done filing all of your files",
         "Other/Images"},
        {"unfile-all",
         SIGTERM,
         {"--yes", "unfile", "--all"},
         true,
         "Desk/0.jpg",
         "Done unfiling all of your files",
         "Other/0.jpg"},
        // Stopped while its first row is copied: the row is finished, the next never begun.
        {"pack",
         SIGINT,
         {"--yes", "pack"},
         false,
         "Stick/.Desk.desktidy-partial-",
         "All done packing",
         "Stick/Other"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempHome home;
        constexpr int count = 20000;
        makeLoose(home / "Desk", count);
        makeLoose(home / "Other", 3);
        makeFolder(home / "Stick");
        ASSERT_EQ(desktidy({"folders", "add", home / "Desk", home / "Other"}).status, 0);
        ASSERT_EQ(desktidy({"pack-list", "add", home / "Desk", home / "Stick"}).status, 0);
        ASSERT_EQ(desktidy({"pack-list", "add", home / "Other", home / "Stick"}).status, 0);
        int number = 1;
        if (row.fileFirst) {
            ASSERT_EQ(desktidy({"--yes", "file", "--all"}).status, 0);
            number = 2;
        }
        QProcess process;
        process.setWorkingDirectory(home.path());
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(DESKTIDY_BINARY, row.arguments);
        const QString waitFor = home / row.waitFor;
        while (!holdsEntryStarting(waitFor.section('/', 0, -2), waitFor.section('/', -1)) &&
               process.state() != QProcess::NotRunning)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ::kill(pid_t(process.processId()), row.signal);
        ASSERT_TRUE(process.waitForFinished(30000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            GTEST_SKIP() << "the run ended before the signal came";
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);  // not killed by it
        EXPECT_EQ(process.exitCode(), 130) << err.toStdString();
        EXPECT_EQ(stateOfRun(number), "stopped");
        if (!row.notSaid.isEmpty()) {
            EXPECT_FALSE(err.contains(row.notSaid)) << err.toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(home / row.notMade));
        if (row.arguments.last() == "Desk") {
            // One count for the stopped run: its result line, history and undo agree.
            const int filed = int(namesIn(home / "Desk/Images").size());
            EXPECT_EQ(namesIn(home / "Desk").size(), count - filed + 1);
            EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()),
                      QString("Filed %1 items into 1 folder. Cancelled after %1 of %2.\n")
                          .arg(filed)
                          .arg(count));
            EXPECT_TRUE(desktidy({"history"}).out.contains(QString("%1  stopped").arg(filed, 7)));
            const Outcome undone = desktidy({"--yes", "undo"});
            EXPECT_EQ(std::make_pair(undone.status, undone.out),
                      std::make_pair(
                          0, QString("Undid run 1 (file): %1 items moved back.\n").arg(filed)));
            EXPECT_EQ(namesIn(home / "Desk").size(), count);
        }
    }
}

// A closed output never stops a run: its writes fail and the run goes on to its end, done.
TEST(RunsStopped, AClosedOutputStopsNothing) {
    TempHome home;
    for (const char* folder : {"A", "B", "C"}) makeLoose(home / folder, 50);
    ASSERT_EQ(desktidy({"folders", "add", home / "A", home / "B", home / "C"}).status, 0);
    QProcess piped;
    piped.setStandardInputFile(QProcess::nullDevice());
    piped.start("/bin/bash",
                {"-c", "\"$0\" --yes file --all | true; exit ${PIPESTATUS[0]}", DESKTIDY_BINARY});
    ASSERT_TRUE(piped.waitForFinished(60000));
    EXPECT_EQ(piped.exitCode(), 0) << piped.readAllStandardError().toStdString();
    for (const char* folder : {"A", "B", "C"})
        EXPECT_EQ(namesIn(home / folder + "/Images").size(), 50) << folder;
    EXPECT_EQ(stateOfRun(1), "done");
}

class RunPipelineTest : public ::testing::Test, public ControllerFixture {};

// The record is ended and the folders free by the time the closing notice is shown: a run
// never waits for the user to read it.
TEST_F(RunPipelineTest, ARunIsEndedBeforeItsClosingNoticeIsShown) {
    const QString app = writeAppBundle(home / "Applications/Pad.app", "org.x.pad");
    writeFile(home / ".config/Pad/settings", "mine");
    const Path applications = Path::fromText(home / "Applications");
    QStringList seen;
    prompter.onNotice = [&](const QString&) {
        const std::optional<RunRecord> record = c().runHistory().read(1);
        FolderLock lock;
        seen << QString("%1 %2").arg(
            record ? QString(record->end) : QString("none"),
            lock.acquire(journal.lockFolder(), applications) == FolderLock::Outcome::Held ? "free"
                                                                                          : "held");
    };
    EXPECT_EQ(c().moveToTrash(c().planRemoval(Path::fromText(app))), RunResult::Done);
    EXPECT_EQ(seen, QStringList{"done free"});
}

// When the locks folder cannot be used, the run is refused, saying why, rather than run
// unlocked beside another one.
TEST_F(RunPipelineTest, ARunThatCannotBeLockedIsRefused) {
    writeFile(home.desktop() + "/a.jpg", "a");
    writeFile(home / ".local/state/Desktidy/locks", "a file where the locks folder goes");
    EXPECT_EQ(c().fileFolder(Path::fromText(home.desktop())), RunResult::Failed);
    EXPECT_EQ(prompter.calls.last(),
              "critical|" + home.desktop() +
                  " cannot be locked against other Desktidy runs: Not a directory (in " +
                  home / ".local/state/Desktidy/locks).");
    EXPECT_EQ(readFile(home.desktop() + "/a.jpg"), "a");
    EXPECT_TRUE(frontEnd.ends.isEmpty());
}

}  // namespace
