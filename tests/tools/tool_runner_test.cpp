#include "tools/tool_runner.h"

#include <gtest/gtest.h>

#include "support/temp_home.h"
#include "tools/tool_paths.h"

namespace {

ToolResult sh(const QString& script, std::optional<QByteArray> input = std::nullopt,
              const QString& dir = {}) {
    return ProcessToolRunner().run({"/bin/sh", {"-c", script}, dir, std::move(input)});
}

TEST(ProcessToolRunner, CollectsOutputErrorAndExitStatus) {
    ToolResult r = sh("echo out; echo err >&2; exit 3");
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.output, "out\n");
    EXPECT_EQ(r.error, "err\n");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_FALSE(r.succeeded());
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

TEST(ProcessToolRunner, ReportsAToolThatCannotStart) {
    ToolResult r = ProcessToolRunner().run({"/nonexistent/tool", {}, {}, std::nullopt});
    EXPECT_FALSE(r.started);
    EXPECT_FALSE(r.startError.isEmpty());
    EXPECT_FALSE(r.succeeded());
}

TEST(ToolPaths, TakeOverridesFromTheEnvironment) {
    qputenv("DESKTIDY_MV", "/tmp/fake-mv");
    EXPECT_EQ(ToolPaths::fromEnvironment().mv, "/tmp/fake-mv");
    qunsetenv("DESKTIDY_MV");
    EXPECT_EQ(ToolPaths::fromEnvironment().mv, "/bin/mv");
}

}  // namespace
