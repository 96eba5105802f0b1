#include "app/gui/history_window.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>

#include "gui_fixture.h"
#include "support/qstring_printer.h"

using HistoryWindowTest = GuiTest;

TEST_F(HistoryWindowTest, EditMenuNamesTheRunItUndoesAndTheHistoryListsBoth) {
    auto* undo = window->findChild<QAction*>("undoAction");
    EXPECT_FALSE(undo->isEnabled());
    writeFile(home.desktop() + "/song.mp3", "la");
    ASSERT_EQ(controller->fileFolder(Path::fromText(home.desktop())), RunResult::Done);
    // Named as soon as the run has ended, not only once the Edit menu has been opened.
    EXPECT_EQ(undo->text(), u"&Undo Desktidy");
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(readFile(home.desktop() + "/song.mp3"), "la");
    EXPECT_FALSE(QFile::exists(home.desktop() + "/Audio"));
    EXPECT_EQ(window->findChild<QLabel*>("resultLine")->text(),
              u"Undid run 1 (Desktidy): 1 item moved back.");
    EXPECT_TRUE(prompter.callsStartingWith("notice|").isEmpty());

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

// A filing whose process dies as it reaches the third item, as a crash leaves a run: no
// end mark, its process gone. The window's next start asks to undo it or keep it.
TEST_F(HistoryWindowTest, TheStartAsksOnceToUndoOrKeepAStoppedRun) {
    const auto fileDieAndStart = [this] {
        if (const pid_t child = ::fork(); child == 0) {
            struct Dying : RunFrontEnd {
                void step(qsizetype done, qsizetype, const QString&) override {
                    if (done == 3) ::_exit(0);
                }
            } dying;
            controller->setRunOptions({false, &dying});
            prompter.confirmAnswers.clear();  // the answers are the start's, after the crash
            (void)controller->fileFolder(Path::fromText(home.desktop()));
            ::_exit(1);
        } else {
            int status = -1;
            ::waitpid(child, &status, 0);
            EXPECT_EQ(status, 0);
        }
        startWindow();
        prompter.calls.clear();
        controller->reviewStoppedRuns();  // as the program's start does
    };
    const auto loose = [this] { return QDir(home.desktop()).entryList(QDir::Files); };
    const QString question =
        "confirm|A run stopped before its end|Run %1 (Desktidy) stopped "
        "before its end, after moving %2 items. Undo what it did, or keep "
        "it as it is?|Undo";
    for (const char* name : {"a.txt", "b.jpg", "c.mp3", "d.txt", "e.jpg"})
        writeFile(home.desktop() + '/' + name, name);

    // Kept: what it moved stays filed; the run is listed as stopped and not asked about again.
    prompter.confirmAnswers = {false};
    fileDieAndStart();
    EXPECT_EQ(prompter.calls, QStringList{question.arg(1).arg("2 of 5")});
    const QStringList kept = loose();
    EXPECT_EQ(kept.size(), 3);
    window->findChild<QAction*>("historyAction")->trigger();
    EXPECT_EQ(window->findChild<HistoryWindow*>()->table()->item(0, 4)->text(), u"stopped");
    startWindow();
    controller->reviewStoppedRuns();
    EXPECT_EQ(prompter.calls.size(), 1);

    // Undone: what the second stopped run moved comes back.
    fileDieAndStart();
    EXPECT_EQ(prompter.calls.first(), question.arg(2).arg("2 of 3"));
    EXPECT_EQ(loose(), kept);
}
