#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/desktidy_controller.h"
#include "support/fake_tool_runner.h"
#include "support/faulty_file_system.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"

// Operations take their paths as values: none may open a chooser.
struct NeverAskedChooser : PathChooser {
    std::optional<QList<Path>> choose(const ChooserRequest& request) override {
        ADD_FAILURE() << "a chooser was opened: " << request.confirmButton.toStdString();
        return std::nullopt;
    }
};

// Follows the runs as the window or the command line would: what they told on the way,
// and how each ended.
struct RecordingFrontEnd : RunFrontEnd {
    RecordingObserver seen;
    QList<RunEnd> ends;
    void passBegins(const QString& title, qsizetype total, bool showsItems) override {
        seen.passBegins(title, total, showsItems);
    }
    void step(qsizetype done, qsizetype total, const StepItem& item) override {
        seen.step(done, total, item);
    }
    void passEnds() override { seen.passEnds(); }
    bool stopRequested() const override { return seen.stopRequested(); }
    void runEnded(const RunEnd& end) override { ends << end; }
};

// A controller over fakes in a temporary home, started as the program starts.
struct ControllerFixture {
    TempHome home;
    ScriptedPrompter prompter;
    RecordingNotifier notifier;
    NeverAskedChooser chooser;
    FaultyFileSystem files;
    // Runs are recorded and locked in the home's state folder, as the program does.
    JournalingFileSystem journal{files, desktidyStateFolder(home.path())};
    FakeToolRunner tools;
    RecordingFrontEnd frontEnd;
    std::unique_ptr<DesktidyController> controller;

    explicit ControllerFixture(QStringList arguments = {QStringLiteral("/usr/bin/desktidy")}) {
        restart(arguments);
    }
    // A new process's start-up in the same home.
    void restart(const QStringList& arguments) {
        controller.reset();
        const UserEnvironment user{QStringLiteral("tester"), home.path()};
        controller = std::make_unique<DesktidyController>(
            Services{prompter, notifier, chooser, journal, tools, ToolPaths{}, user, QString()},
            BundleDefaults::fromResources());
        controller->setRunOptions({&frontEnd});
        controller->start(arguments);
        controller->saveSetup();  // as the window starts
    }
    DesktidyController& c() { return *controller; }
};
