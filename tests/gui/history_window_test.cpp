#include "app/gui/history_window.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>

#include "gui_fixture.h"
#include "support/qstring_printer.h"

using HistoryWindowTest = GuiTest;

TEST_F(HistoryWindowTest, EditMenuNamesTheRunItUndoesAndTheHistoryListsBoth) {
    auto* undo = window->findChild<QAction*>("undoAction");
    EXPECT_FALSE(undo->isEnabled());
    writeFile(home.desktop() + "/song.mp3", "la");
    ASSERT_EQ(controller->fileFolder(Path::fromText(home.desktop())), RunResult::Done);
    window->menuBar()->actions().at(1)->menu()->aboutToShow();
    EXPECT_EQ(undo->text(), u"&Undo Desktidy");
    undo->trigger();
    EXPECT_EQ(readFile(home.desktop() + "/song.mp3"), "la");
    EXPECT_FALSE(QFile::exists(home.desktop() + "/Audio"));
    EXPECT_EQ(prompter.callsStartingWith("notice|"),
              QStringList("notice|Undid run 1 (Desktidy): 1 item moved back."));

    window->findChild<QAction*>("historyAction")->trigger();
    auto* history = window->findChild<HistoryWindow*>();
    QTableWidget* table = history->table();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 2)->text(), u"Undo");
    EXPECT_EQ(table->item(1, 4)->text(), u"undone");
    // The History window's Undo on the undo files the song again.
    table->selectRow(0);
    history->findChild<QPushButton*>("undoButton")->click();
    EXPECT_TRUE(QFile::exists(home.desktop() + "/Audio/song.mp3"));
    EXPECT_EQ(table->item(2, 4)->text(), u"done");
}

namespace {

struct StoppedRunTest : GuiTest {
    QStringList desktop() {
        return QDir(home.desktop()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
    // Files the desktop in a process that dies as it reaches the third item, as a crash
    // leaves a run: no end mark, its process gone. Then the program starts again.
    void fileAndDieAtThirdItem() {
        const pid_t child = ::fork();
        if (child == 0) {
            RunOptions dying;
            dying.progress.onStep = [](qsizetype done, qsizetype, const QString&) {
                if (done == 3) ::_exit(0);
            };
            controller->setRunOptions(std::move(dying));
            (void)controller->fileFolder(Path::fromText(home.desktop()), Confirmation::DontAsk);
            ::_exit(1);
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        ASSERT_EQ(status, 0);
        startWindow();
        prompter.calls.clear();
    }
    QString question(int run, const char* moved) {
        return QStringLiteral(
                   "confirm|A run stopped before its end|Run %1 (Desktidy) stopped "
                   "before its end, after moving %2 items. Undo what it did, or keep "
                   "it as it is?|Undo")
            .arg(run)
            .arg(QLatin1String(moved));
    }
};

TEST_F(StoppedRunTest, TheStartAsksOnceToUndoOrKeepAStoppedRunAndDoesWhatItIsTold) {
    for (const char* name : {"a.txt", "b.jpg", "c.mp3", "d.txt", "e.jpg"})
        writeFile(home.desktop() + '/' + name, name);

    // Kept: the two items it moved stay filed, the run is listed as stopped and not asked
    // about again.
    fileAndDieAtThirdItem();
    prompter.confirmAnswers = {false};
    controller->reviewStoppedRuns();
    EXPECT_EQ(prompter.calls, QStringList{question(1, "2 of 5")});
    const QStringList kept = desktop();
    EXPECT_EQ(kept.filter(QRegularExpression("^[a-e]\\.")).size(), 3);
    window->findChild<QAction*>("historyAction")->trigger();
    EXPECT_EQ(window->findChild<HistoryWindow*>()->table()->item(0, 4)->text(), u"stopped");
    startWindow();
    prompter.calls.clear();
    controller->reviewStoppedRuns();
    EXPECT_TRUE(prompter.calls.isEmpty()) << prompter.calls.join('\n').toStdString();
    EXPECT_EQ(desktop(), kept);

    // Undone: what the second stopped run moved comes back; the kept run stays done.
    fileAndDieAtThirdItem();
    controller->reviewStoppedRuns();
    EXPECT_EQ(prompter.calls.first(), question(2, "2 of 3"));
    EXPECT_EQ(desktop(), kept);
}

}  // namespace
