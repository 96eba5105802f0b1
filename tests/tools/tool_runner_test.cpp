#include "tools/tool_runner.h"

#include <gtest/gtest.h>

#include "support/qstring_printer.h"
#include "support/temp_home.h"

namespace {

ToolResult sh(const QString& script, std::optional<QByteArray> input = std::nullopt,
              const QString& dir = {}) {
    return ProcessToolRunner().run({"/bin/sh", {"-c", script}, dir, std::move(input)});
}

TEST(ProcessToolRunner, CollectsOutputErrorAndExitStatusOrTellsItCouldNotStart) {
    ToolResult r = sh("echo out; echo err >&2; exit 3");
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.output + r.error, "out\nerr\n");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_FALSE(r.succeeded());
    r = ProcessToolRunner().run({"/nonexistent/tool", {}, {}, std::nullopt});
    EXPECT_FALSE(r.started || r.startError.isEmpty() || r.succeeded());
}

TEST(ProcessToolRunner, FeedsInputRunsInTheFolderAndDrainsLargeOutput) {
    EXPECT_EQ(sh("cat", QByteArray("line one\nline two\n")).output, "line one\nline two\n");
    TempHome home;
    EXPECT_EQ(sh("pwd", std::nullopt, home.path()).output.trimmed(), home.path().toUtf8());
    // Far more than a pipe holds, on both streams at once.
    ToolResult big = sh("head -c 4000000 /dev/zero; head -c 4000000 /dev/zero >&2");
    EXPECT_EQ(big.output.size(), 4000000);
    EXPECT_EQ(big.error.size(), 4000000);
    EXPECT_TRUE(big.succeeded());
}

// Paths reach the tool as their bytes, and a tool that stops reading its input ends the
// run normally (no SIGPIPE for the program).
TEST(ProcessToolRunner, PassesPathBytesExactlyAndSurvivesAToolThatIgnoresItsInput) {
    const Path odd("caf\xFF\n-x");
    ToolArguments arguments{"-c", "printf %s \"$1\"", "sh"};
    arguments << odd;
    EXPECT_EQ(ProcessToolRunner().run({"/bin/sh", arguments, {}, std::nullopt}).output,
              odd.bytes());

    ToolResult early = sh("exit 4", QByteArray(8 << 20, 'x'));
    EXPECT_EQ(early.exitCode, 4);
    EXPECT_FALSE(early.crashed);
}

}  // namespace
