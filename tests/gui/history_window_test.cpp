#include "app/gui/history_window.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "app/gui/qt_prompter.h"
#include "gui_fixture.h"
#include "support/qstring_printer.h"

using HistoryWindowTest = GuiTest;

TEST_F(HistoryWindowTest, EditMenuAndHistoryNameRunsInWordsAndUndoTheFocusedRun) {
    auto* undo = window->findChild<QAction*>("undoAction");
    EXPECT_FALSE(undo->isEnabled());
    writeFile(home.desktop() + "/song.mp3", "la");
    ASSERT_EQ(controller->fileFolder(Path::fromText(home.desktop())), RunResult::Done);
    // Named as soon as the run has ended, not only once the Edit menu has been opened.
    EXPECT_EQ(undo->text(), u"&Undo filing");
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(readFile(home.desktop() + "/song.mp3"), "la");
    EXPECT_FALSE(QFile::exists(home.desktop() + "/Audio"));
    EXPECT_EQ(window->findChild<QLabel*>("resultLine")->text(),
              u"Undid run 1 (Desktidy): 1 item moved back.");
    EXPECT_TRUE(prompter.callsStartingWith("notice|").isEmpty());
    // The song's old place in Audio is taken now: undoing the undo leaves it, and says so.
    writeFile(home.desktop() + "/Audio/song.mp3", "other");

    // The window's own alerts, answered with Enter as they come.
    QtPrompter alerts;
    QStringList shown;
    alerts.setBoxHook([&](QMessageBox& box) {
        shown << box.text().section(u'\n', 0, 0);
        QTimer::singleShot(0, &box, [&box] { QTest::keyClick(&box, Qt::Key_Return); });
        QTimer::singleShot(5000, &box, [&box] { box.done(-1); });  // never hang
    });
    prompterInUse = &alerts;
    startWindow();
    window->show();
    window->findChild<QAction*>("historyAction")->trigger();
    auto* history = window->findChild<HistoryWindow*>();
    ASSERT_TRUE(QTest::qWaitForWindowActive(history));
    QTableWidget* table = history->table();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 2)->text(), u"Undo of run 1 (Filing)");
    EXPECT_EQ(table->item(1, 2)->text(), u"Filing");
    EXPECT_EQ(table->item(1, 4)->text(), u"undone");
    // The time stays on one line, in a column as wide as it needs.
    EXPECT_FALSE(table->wordWrap());
    EXPECT_GE(table->columnWidth(1), static_cast<QAbstractItemView*>(table)->sizeHintForColumn(1));

    // An undone run cannot be chosen for undo.
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Down);
    ASSERT_EQ(table->currentRow(), 1);
    EXPECT_FALSE(history->undoButton()->isEnabled());
    EXPECT_EQ(history->undoButton()->toolTip(), u"This run has been undone already.");
    // Undo takes the row with the focus, selected or not (Ctrl+Space deselects it).
    QTest::keyClick(table, Qt::Key_Up);
    QTest::keyClick(table, Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(table->selectedItems().isEmpty());
    ASSERT_TRUE(history->undoButton()->isEnabled());
    QTest::keyClick(table, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), history->undoButton());
    QTest::keyClick(history->undoButton(), Qt::Key_Space);
    EXPECT_EQ(shown, (QStringList{"Desktidy will move back what run 2 (Undo in " + home.desktop() +
                                      ") moved. An item that has moved since, "
                                      "or whose old place is taken, stays where "
                                      "it is.",
                                  "Undid run 2 (Undo): 0 items moved back. 1 item stayed where "
                                  "it is:"}));
    EXPECT_EQ(readFile(home.desktop() + "/song.mp3"), "la");
    EXPECT_EQ(table->item(0, 2)->text(), u"Undo of run 2 (Undo of run 1 (Filing))");
    // The keyboard is back in the History window after the alerts: Escape closes it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return history->isActiveWindow(); }, 2000));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(history->isVisible());
}

// A filing whose process dies as it reaches the third item, as a crash leaves a run: no
// end mark, its process gone. The window's next start asks to undo it or keep it.
TEST_F(HistoryWindowTest, TheStartAsksOnceToUndoOrKeepAStoppedRun) {
    const auto fileDieAndStart = [this] {
        if (const pid_t child = ::fork(); child == 0) {
            struct Dying : RunFrontEnd {
                void step(qsizetype done, qsizetype, const StepItem&) override {
                    if (done == 3) ::_exit(0);
                }
            } dying;
            controller->setRunOptions({&dying});
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
