#include "schedule/scheduler.h"

#include <gtest/gtest.h>

#include "support/fake_tool_runner.h"
#include "support/scripted_prompter.h"

namespace {

// The failures of the crontab tool. Writes that work, the first crontab among them, are
// ScheduleController's and ScheduleCommand's, whose crontabs answer as the real tool does.
struct SchedulerTest : ::testing::Test {
    FakeToolRunner tools;
    ScriptedPrompter prompter;
    Scheduler scheduler{tools, prompter, "/usr/bin/crontab"};
};

TEST_F(SchedulerTest, AListingFailureTellsTheUserAndWritesNothing) {
    tools.results = {FakeToolRunner::finished(1, {}, "crontab: permission denied\n")};
    EXPECT_EQ(scheduler.write(QByteArray("E Desktidy.app\n")), RunResult::Failed);
    EXPECT_EQ(tools.requests.size(), 1);
    EXPECT_EQ(prompter.calls, QStringList({"critical|" + Scheduler::readFailureMessage}));

    // A crontab tool that cannot be started is named, not called a read failure.
    tools.requests.clear();
    tools.results = {ToolResult{}};
    EXPECT_EQ(scheduler.write(std::nullopt), RunResult::Failed);
    EXPECT_EQ(tools.requests.size(), 1);
    EXPECT_EQ(prompter.calls.last(), "critical|" + Scheduler::missingToolMessage);
}

TEST_F(SchedulerTest, ARejectedTableIsReportedNotCalledScheduled) {
    tools.results = {FakeToolRunner::finished(0, "1 * * * * job\n"),
                     FakeToolRunner::finished(
                         1, {}, "\"-\":1: bad minute\nerrors in crontab file, can't install.\n")};
    EXPECT_EQ(scheduler.write(QByteArray("E Desktidy.app\n")), RunResult::Failed);
    EXPECT_EQ(prompter.calls,
              QStringList({"critical|Desktidy could not write the schedule to your crontab: "
                           "\"-\":1: bad minute\nerrors in crontab file, can't install."}));

    tools.results = {FakeToolRunner::finished(0), FakeToolRunner::finished(3)};
    EXPECT_EQ(scheduler.write(std::nullopt), RunResult::Failed);
    EXPECT_EQ(prompter.calls.last(),
              "critical|Desktidy could not write the schedule to your crontab: crontab exited with "
              "status 3");
}

}  // namespace
