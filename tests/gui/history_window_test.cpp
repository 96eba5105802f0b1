#include "app/gui/history_window.h"

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
