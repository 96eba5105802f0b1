#pragma once

#include <memory>

#include "app/desktidy_controller.h"
#include "platform/preset_path_chooser.h"
#include "support/fake_tool_runner.h"
#include "support/faulty_file_system.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"

// A controller over fakes in a temporary home, started as the program starts.
struct ControllerFixture {
    TempHome home;
    ScriptedPrompter prompter;
    RecordingNotifier notifier;
    PresetPathChooser chooser;
    FaultyFileSystem files;
    FakeToolRunner tools;
    std::unique_ptr<DesktidyController> controller;

    explicit ControllerFixture(QStringList arguments = {QStringLiteral("/usr/bin/desktidy")}) {
        restart(arguments);
    }
    // A new process's start-up in the same home.
    void restart(const QStringList& arguments) {
        controller.reset();
        const UserEnvironment user{QStringLiteral("tester"), home.path()};
        controller = std::make_unique<DesktidyController>(
            Services{prompter, notifier, chooser, files, tools, ToolPaths{}, user, QString()},
            BundleDefaults::fromResources());
        controller->awakeFromNib(arguments);
    }
    DesktidyController& c() { return *controller; }
};
