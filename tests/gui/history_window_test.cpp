#include "app/gui/history_window.h"

#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>

#include "gui_fixture.h"
#include "runs/journaling_file_system.h"
#include "support/qstring_printer.h"

namespace {

// The window over the journaling file system the program uses.
class HistoryWindowTest : public ::testing::Test {
  protected:
    HistoryWindowTest() {
        Services services{prompter,
                          notifier,
                          chooser,
                          files,
                          tools,
                          ToolPaths(),
                          {QStringLiteral("tester"), home.path()},
                          home.configFile()};
        controller =
            std::make_unique<DesktidyController>(services, BundleDefaults::fromResources());
        controller->start({QStringLiteral("desktidy")});
        state =
            std::make_unique<WindowStateStore>(WindowStateStore::besideSettings(home.configFile()));
        window = std::make_unique<MainWindow>(*controller, *state);
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(name); }

    TempHome home;
    ScriptedPrompter prompter;
    RecordingNotifier notifier;
    PresetPathChooser chooser;
    LocalFileSystem local;
    JournalingFileSystem files{local, desktidyStateFolder(home.path())};
    FakeToolRunner tools;
    std::unique_ptr<DesktidyController> controller;
    std::unique_ptr<WindowStateStore> state;
    std::unique_ptr<MainWindow> window;
};

TEST_F(HistoryWindowTest, EditMenuNamesTheRunItUndoesAndTheHistoryListsBoth) {
    EXPECT_EQ(window->menuBar()->actions().at(1)->text(), u"&Edit");
    EXPECT_EQ(action("undoAction")->text(), u"&Undo");
    EXPECT_FALSE(action("undoAction")->isEnabled());
    EXPECT_EQ(action("undoAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));

    writeFile(home.desktop() + "/song.mp3", "la");
    ASSERT_EQ(controller->fileFolder(Path::fromText(home.desktop())), RunResult::Done);
    window->menuBar()->actions().at(1)->menu()->aboutToShow();
    EXPECT_EQ(action("undoAction")->text(), u"&Undo Desktidy");
    action("undoAction")->trigger();
    EXPECT_EQ(readFile(home.desktop() + "/song.mp3"), "la");
    EXPECT_FALSE(QFile::exists(home.desktop() + "/Audio"));
    EXPECT_EQ(prompter.callsStartingWith("notice|"),
              QStringList("notice|Undid run 1 (Desktidy): 1 item moved back."));

    action("historyAction")->trigger();
    auto* history = window->findChild<HistoryWindow*>();
    QTableWidget* table = history->table();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 2)->text(), u"Undo");
    EXPECT_EQ(table->item(1, 2)->text(), u"Desktidy");
    EXPECT_EQ(table->item(1, 4)->text(), u"undone");
    // The History window's Undo on the undo files the song again.
    table->selectRow(0);
    history->findChild<QPushButton*>("undoButton")->click();
    EXPECT_TRUE(QFile::exists(home.desktop() + "/Audio/song.mp3"));
    EXPECT_EQ(table->item(1, 4)->text(), u"undone");
    EXPECT_EQ(table->item(2, 4)->text(), u"done");
}

}  // namespace
