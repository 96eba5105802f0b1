#include "schedule/watch_service.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include "support/fake_tool_runner.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"

namespace {

struct WatchServiceTest : ::testing::Test {
    TempHome home;
    FakeToolRunner tools;
    ScriptedPrompter prompter;
    QString installedFolder = home / "usr-lib-systemd-user";
    WatchService service{tools,
                         prompter,
                         {"/usr/bin/systemctl",
                          home / "My Apps/desk%tidy",
                          home / ".config/systemd/user",
                          {installedFolder}}};
    QString userUnit = home / ".config/systemd/user/desktidy-watch.service";

    // Each systemctl run, its arguments joined.
    QStringList runs() const {
        QStringList all;
        for (const ToolRequest& request : tools.requests) {
            QStringList words;
            for (const QByteArray& word : request.arguments.bytes()) words << word;
            all << words.join(' ');
        }
        return all;
    }
};

}  // namespace

// Run from where no package put the unit, the program writes one of the user's own that
// starts itself, enables it, and takes it out again; a unit the package installed is only
// enabled and disabled.
TEST_F(WatchServiceTest, InstallEnablesTheUnitWritingOneForTheUserWhereNoneIsInstalled) {
    EXPECT_EQ(service.install(), RunResult::Done);
    EXPECT_EQ(runs(), (QStringList{"--user show-environment", "--user daemon-reload",
                                   "--user enable --now desktidy-watch.service"}));
    EXPECT_TRUE(readFile(userUnit).contains("\nExecStart=\"" +
                                            (home / "My Apps/desk%%tidy").toUtf8() + "\" watch\n"));
    EXPECT_EQ(prompter.calls, QStringList{"notice|" + WatchService::installedMessage});

    EXPECT_EQ(service.uninstall(), RunResult::Done);
    EXPECT_FALSE(QFileInfo::exists(userUnit));
    EXPECT_EQ(prompter.calls.last(), "notice|" + WatchService::uninstalledMessage);
    EXPECT_EQ(runs().mid(3),
              (QStringList{"--user show-environment", "--user disable --now desktidy-watch.service",
                           "--user daemon-reload"}));

    writeFile(installedFolder + "/desktidy-watch.service", "[Service]\n");
    tools.requests.clear();
    EXPECT_EQ(service.install(), RunResult::Done);
    EXPECT_EQ(service.uninstall(), RunResult::Done);
    EXPECT_EQ(
        runs(),
        (QStringList{"--user show-environment", "--user enable --now desktidy-watch.service",
                     "--user show-environment", "--user disable --now desktidy-watch.service"}));
    EXPECT_FALSE(QFileInfo::exists(userUnit));
}

// With no user service manager (or no systemctl) nothing is written and the user is told
// what to do instead; a failing systemctl is told with its reason, not as success.
TEST_F(WatchServiceTest, WithoutAServiceManagerOrWhenSystemctlFailsTheUserIsTold) {
    tools.results = {
        FakeToolRunner::finished(1, {}, "Failed to connect to bus: No medium found\n")};
    EXPECT_EQ(service.install(), RunResult::Failed);
    EXPECT_EQ(runs(), QStringList{"--user show-environment"});
    EXPECT_FALSE(QFileInfo::exists(userUnit));
    EXPECT_EQ(prompter.calls, QStringList{"critical|" + WatchService::noManagerMessage +
                                          " (Failed to connect to bus: No medium found)"});
    tools.results = {FakeToolRunner::finished(1, {}, "No medium found\n")};
    EXPECT_EQ(service.state(), WatchService::State::NoServiceManager);

    tools.results = {FakeToolRunner::finished(0), FakeToolRunner::finished(0),
                     FakeToolRunner::finished(1, {}, "Unit desktidy-watch.service is masked.\n")};
    prompter.calls.clear();
    EXPECT_EQ(service.install(), RunResult::Failed);
    EXPECT_EQ(prompter.calls, QStringList{"critical|Desktidy could not start the watch: Unit "
                                          "desktidy-watch.service is masked."});

    tools.results = {FakeToolRunner::finished(0), FakeToolRunner::finished(0, "active\n")};
    EXPECT_EQ(service.state(), WatchService::State::Running);
    tools.results = {FakeToolRunner::finished(0), FakeToolRunner::finished(3, "inactive\n")};
    EXPECT_EQ(service.state(), WatchService::State::NotRunning);
}
