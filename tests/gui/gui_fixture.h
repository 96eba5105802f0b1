#pragma once

#include <gtest/gtest.h>

#include <QTableView>
#include <QTest>
#include <memory>

#include "app/desktidy_controller.h"
#include "app/gui/main_window.h"
#include "app/gui/window_state_store.h"
#include "platform/preset_path_chooser.h"
#include "runs/journaling_file_system.h"
#include "support/fake_tool_runner.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"

// Clicks a cell of a table, as the user does.
inline void clickRow(QAbstractItemView* table, int row, int column = 0) {
    const QRect rect = table->visualRect(table->model()->index(row, column));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
}

// A started controller and its main window in a throw-away home, with a scripted
// prompter, a chooser answered from the test, a fake tool runner and the journaling
// file system the program uses.
class GuiTest : public ::testing::Test {
  protected:
    GuiTest() { startWindow(); }

    // Starts (again) from what is stored, as a new run of the program would.
    void startWindow() {
        window.reset();
        controller.reset();
        state.reset();
        Services services{prompterInUse ? *prompterInUse : prompter,
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
        controller->saveSetup();  // as the window's start does
        state =
            std::make_unique<WindowStateStore>(WindowStateStore::besideSettings(home.configFile()));
        window = std::make_unique<MainWindow>(*controller, *state);
    }

    TempHome home;
    ScriptedPrompter prompter;
    // Another prompter for the next startWindow(), such as the window's own.
    Prompter* prompterInUse = nullptr;
    RecordingNotifier notifier;
    PresetPathChooser chooser;
    LocalFileSystem local;
    JournalingFileSystem files{local, desktidyStateFolder(home.path())};
    FakeToolRunner tools;
    std::unique_ptr<DesktidyController> controller;
    std::unique_ptr<WindowStateStore> state;
    std::unique_ptr<MainWindow> window;
};
