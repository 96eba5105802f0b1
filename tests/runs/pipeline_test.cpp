#include <gtest/gtest.h>

#include "runs/run_history.h"
#include "runs/run_pipeline.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"

namespace {

// A run is ended by the object that began it; one left un-ended is a programming error,
// which a debug build stops on and a release build still ends, as failed, so that its
// record never stays open for the next start to take for a crash.
TEST(RunPipeline, ARunLeftWithoutItsEndIsCaughtAndStillEnded) {
    TempHome home;
    makeFolder(home.desktop());
    writeFile(home.desktop() + "/a.txt", "a");
    LocalFileSystem local;
    JournalingFileSystem files(local, desktidyStateFolder(home.path()));
    ScriptedPrompter prompter;
    RecordingNotifier notifier;
    RunPipeline pipeline(files, prompter, notifier);
    const Path desktop = Path::fromText(home.desktop());
    EXPECT_DEBUG_DEATH(
        {
            ActiveRun run = pipeline.begin({RunKind::Rename, {desktop}});
            ASSERT_TRUE(files.moveNoReplace(desktop / "a.txt", desktop / "b.txt").ok());
        },
        "left without its end");
#ifdef QT_NO_DEBUG
    const std::optional<RunRecord> record = RunHistory(files.historyFolder()).read(1);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->end, "failed");
#endif
}

}  // namespace
