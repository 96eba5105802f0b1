#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "runs/journaling_file_system.h"
#include "runs/record_text.h"
#include "runs/run_pipeline.h"
#include "runs/run_undo.h"
#include "support/qstring_printer.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"
#include "support/tree_listing.h"

// A home with a desktop, the journaling file system over the real one, and its history.
struct JournalFixture : ::testing::Test {
    TempHome home;
    LocalFileSystem local;
    JournalingFileSystem files{local, desktidyStateFolder(home.path())};
    RunHistory history{files.historyFolder()};
    ScriptedPrompter prompter;
    Path folder = Path::fromText(home.desktop());
    TrashLocation trash = TrashLocation::forHome(Path::fromText(home.path()));

    void SetUp() override { makeFolder(home.desktop()); }
    // An undo as the program makes it: refused with the reason, or a run of the pipeline
    // over the folders of the run it undoes, marking the records once it has ended.
    UndoOutcome undo(const RunRecord& record) { return undo(files, record); }
    UndoOutcome undo(JournalingFileSystem& through, const RunRecord& record) {
        UndoOutcome outcome;
        if (const std::optional<QString> why = whyNotUndoable(history, record)) {
            outcome.status = UndoOutcome::Status::Refused;
            outcome.message = *why;
            return outcome;
        }
        RecordingNotifier notifier;
        RunPipeline pipeline(through, prompter, notifier);
        const RunEnd end = pipeline.run(
            {RunKind::Undo, record.folders, {{"undoes", QByteArray::number(record.number)}}},
            [&](RunContext& run) {
                outcome = undoSteps(through, record, trash, run.observer());
                return outcome.status == UndoOutcome::Status::Done ? RunResult::Done
                                                                   : RunResult::Failed;
            },
            [&](RunEnd& ended) { (void)markUndone(history, record, outcome, ended.runNumber); });
        outcome.undoRun = end.runNumber;
        return outcome;
    }
    // An open run of the journal, ended as done when it goes.
    struct OpenRun {
        OpenRun(JournalingFileSystem& files, const QByteArray& kind, const Path& folder)
            : files(files) {
            files.beginRun({kind, folder});
        }
        ~OpenRun() { (void)files.endRun(RunOutcome::Done); }
        JournalingFileSystem& files;
    };
    // By the bytes of the name, which need not be UTF-8.
    void put(const QByteArray& name, const QByteArray& contents = "x") {
        writeItem(folder / name, contents);
    }
    // A filing: a category folder made, two items moved into it, an emptied folder removed.
    void fileTwoItems(const QByteArray& odd) {
        const OpenRun run(files, "file", folder);
        ASSERT_TRUE(files.makeDirectory(folder / "Words").ok());
        ASSERT_TRUE(files.moveNoReplace(folder / "a.txt", folder / "Words/a.txt").ok());
        ASSERT_TRUE(files.moveNoReplace(folder / odd, folder / "Words" / odd).ok());
        ASSERT_TRUE(files.removeEmptyDirectory(folder / "Empty").ok());
    }
    // Runs steps in a run of kind in a child process that then dies as a killed one does:
    // no end mark, no destructors.
    void runAndDie(const QByteArray& kind, const std::function<bool()>& steps) {
        const pid_t child = ::fork();
        if (child == 0) {
            files.beginRun({kind, folder});
            ::_exit(steps() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_EQ(status, 0) << "a step of the dying run failed";
    }
    // The identity of the item at path, as a record writes it.
    QByteArray identityAt(const Path& path) {
        const auto status = local.status(path);
        return status ? identityText({status->device, status->inode}) : QByteArray("0:0");
    }
    // A record written by hand, as an older program or a killed one left it.
    void writeRecord(int number, const QByteArray& lines) {
        makeFolder(QString::fromUtf8(files.historyFolder().bytes()));
        writeItem(history.recordPath(number), "desktidy-run 1\n" + lines);
    }
};
