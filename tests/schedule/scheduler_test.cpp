#include "schedule/scheduler.h"

#include <gtest/gtest.h>

#include "support/fake_tool_runner.h"
#include "support/qstring_printer.h"
#include "support/scripted_prompter.h"

namespace {

// Each write lists the crontab, then installs the new table unless the listing failed
// (which would lose the user's other lines), and tells the user what happened.
TEST(Scheduler, InstallsOnlyAfterAListingAndTellsHowItWent) {
    const QString failed = "critical|Desktidy could not write the schedule to your crontab: ";
    const ToolResult noCrontab = FakeToolRunner::finished(1, {}, "no crontab for tester\n");
    const ToolResult ok = FakeToolRunner::finished(0);
    struct Row {
        std::deque<ToolResult> results;
        std::optional<QByteArray> entry;
        RunResult result;
        QString told;
        std::optional<QByteArray> installed;  // none: nothing installed
    };
    const Row rows[] = {
        {{noCrontab, ok},
         "E Desktidy.app\n",
         RunResult::Done,
         "notice|Desktidy has been scheduled.",
         "E Desktidy.app\n"},
        {{noCrontab, ok},
         {},
         RunResult::Done,
         "notice|The Desktidy schedule has been removed.",
         ""},
        {{FakeToolRunner::finished(1, {}, "crontab: permission denied\n")},
         "E Desktidy.app\n",
         RunResult::Failed,
         "critical|" + Scheduler::readFailureMessage,
         {}},
        // A crontab tool that cannot be started is named, not called a read failure.
        {{ToolResult{}}, {}, RunResult::Failed, "critical|" + Scheduler::missingToolMessage, {}},
        {{FakeToolRunner::finished(0, "1 * * * * job\n"),
          FakeToolRunner::finished(1, {}, "\"-\":1: bad minute\nerrors in crontab file.\n")},
         "E Desktidy.app\n",
         RunResult::Failed,
         failed + "\"-\":1: bad minute\nerrors in crontab file.",
         "1 * * * * job\nE Desktidy.app\n"},
        {{ok, FakeToolRunner::finished(3)},
         {},
         RunResult::Failed,
         failed + "crontab exited with status 3",
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.told.toStdString());
        FakeToolRunner tools;
        ScriptedPrompter prompter;
        tools.results = row.results;
        EXPECT_EQ(Scheduler(tools, prompter, "/usr/bin/crontab").write(row.entry), row.result);
        EXPECT_EQ(prompter.calls, QStringList{row.told});
        ASSERT_EQ(tools.requests.size(), row.installed ? 2 : 1);
        EXPECT_EQ(tools.requests[0].arguments, QStringList({"-l"}));
        if (row.installed) {
            EXPECT_EQ(tools.requests[1].arguments, QStringList({"-"}));
            EXPECT_EQ(tools.requests[1].input, row.installed);
        }
    }
}

}  // namespace
