#pragma once

#include <QList>
#include <QPair>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "platform/notifier.h"
#include "platform/prompter.h"
#include "platform/run_kind.h"
#include "platform/run_observer.h"
#include "platform/run_plan.h"
#include "platform/run_result.h"
#include "runs/folder_lock.h"
#include "runs/journaling_file_system.h"

// The question a run asks before it changes anything; "Cancel" ends it with nothing done.
struct RunQuestion {
    QString title;
    QString message;
    QString button = QStringLiteral("OK");
    Prompter::Details details;  // what the run will do, made only when shown
};

// What the window, the command line or the schedule asks of one run.
struct RunRequest {
    RunKind kind = RunKind::File;
    // The folders the run changes. Each is locked before the question, and one that another
    // run holds refuses the run; the first names the run in its record. A run over a list
    // (file all) adds its folders as it comes to them (RunContext::addFolder).
    QList<Path> folders;
    QList<QPair<QByteArray, QByteArray>> options;  // what shaped the run, kept in its record
    std::optional<RunQuestion> question;
};

// One folder's share of a run over several, for its own result line.
struct FolderReport {
    Path folder;
    RunReport report;
};

// How a run ended, told once to whoever started it.
struct RunEnd {
    RunKind kind = RunKind::File;
    RunResult result = RunResult::Done;
    // False when the run was refused (a busy folder, no lock) or declined at its question:
    // nothing was changed and nothing was recorded.
    bool started = false;
    RunReport report;
    QList<FolderReport> parts;  // a run over several folders: each folder's
    int runNumber = 0;          // its record; 0 when it changed nothing
};

// The side of the window or the command line that follows a run: its progress and Cancel
// (the observer), and its end, once the record is ended and the folders are free.
class RunFrontEnd : public RunObserver {
  public:
    virtual void runEnded(const RunEnd& end) { (void)end; }
};

class RunPipeline;

// What a run's carrying-out works with, while its folders are locked and its record open.
class RunContext {
  public:
    FileSystem& files() { return files_; }
    Prompter& prompter() { return prompter_; }
    // Progress and Cancel; each pass's count is also noted in the record.
    RunObserver& observer() { return observer_; }
    bool stopRequested() const { return observer_.stopRequested(); }
    // The run's result, as the carrying-out fills it in.
    RunReport& report() { return report_; }

    // A further folder the run changes, locked and named in its record. False when another
    // run holds it (the user has been told): the run should leave that folder alone.
    bool addFolder(const Path& folder);
    // One folder's result, for a run over several; the run's report adds them up.
    void addPart(const Path& folder, const RunReport& report);
    // Said once the record is ended and the folders are free: a closing notice, a
    // notification. A run's end never waits for the user to read them.
    void noticeAtEnd(const QString& message, bool critical = false) {
        notices_.append({message, critical});
    }
    void notifyAtEnd(const QString& title, const QString& description, const QString& name);

  private:
    friend class ActiveRun;
    friend class RunPipeline;
    struct Notification {
        QString title, description, name;
    };
    class RecordingObserver : public RunObserver {
      public:
        RecordingObserver(RunObserver& shown, JournalingFileSystem& journal)
            : shown_(shown), journal_(journal) {}
        void passBegins(const QString& title, qsizetype total, bool showsItems) override;
        void step(qsizetype done, qsizetype total, const StepItem& item) override;
        void passEnds() override { shown_.passEnds(); }
        bool stopRequested() const override { return shown_.stopRequested(); }

      private:
        RunObserver& shown_;
        JournalingFileSystem& journal_;
    };

    RunContext(RunPipeline& pipeline, JournalingFileSystem& files, Prompter& prompter,
               RunObserver& shown);

    RunPipeline& pipeline_;
    JournalingFileSystem& files_;
    Prompter& prompter_;
    RecordingObserver observer_;
    RunReport report_;
    QList<FolderReport> parts_;
    QList<QPair<QString, bool>> notices_;  // and whether each is critical
    QList<Notification> notifications_;
    std::vector<FolderLock> locks_;
    QList<QByteArray> lockedKeys_;
};

// One run from its start to its end. It is made only by RunPipeline::begin, which has
// locked its folders and opened its record; end() must be called exactly once: it ends the
// record with the run's outcome, frees the folders, tells the front end and shows what was
// kept for the end. A run left un-ended is a programming error (a debug build stops on it;
// a release build ends it as failed).
class ActiveRun {
  public:
    ~ActiveRun();
    ActiveRun(const ActiveRun&) = delete;
    ActiveRun& operator=(const ActiveRun&) = delete;
    ActiveRun(ActiveRun&& other) noexcept;
    ActiveRun& operator=(ActiveRun&&) = delete;

    // False when the run was refused or declined: end() then only returns how.
    bool started() const { return started_; }
    RunContext& context() { return *context_; }

    // Called between the record's end and the report (undo marks the run it undid).
    std::function<void(RunEnd&)> afterRecordEnds;
    RunEnd end(RunResult result);

  private:
    friend class RunPipeline;
    ActiveRun(RunPipeline& pipeline, RunKind kind);

    RunPipeline* pipeline_;
    RunKind kind_;
    std::unique_ptr<RunContext> context_;
    bool started_ = false;
    bool ended_ = false;
    RunResult refusal_ = RunResult::Failed;
};

// The one road every run takes, from the window, the command line, the schedule and undo
// alike: lock its folders and open its record; ask, with the plan's details; carry it out
// under one observer with one Cancel; end the record with one outcome (done, stopped or
// failed, with its result); report once.
class RunPipeline {
  public:
    RunPipeline(JournalingFileSystem& files, Prompter& prompter, Notifier& notifier);

    // Who follows the runs; none: silent.
    void setFrontEnd(RunFrontEnd* frontEnd) { frontEnd_ = frontEnd; }
    JournalingFileSystem& files() { return files_; }

    // Locks the request's folders, opens the record and asks the question. The run is not
    // started when a folder is busy or cannot be locked (the user has been told) or the
    // question was answered "Cancel"; end() then tells how.
    ActiveRun begin(const RunRequest& request);
    // begin, carry out, end: execute returns how the carrying-out went.
    using Execute = std::function<RunResult(RunContext&)>;
    RunEnd run(const RunRequest& request, const Execute& execute,
               const std::function<void(RunEnd&)>& afterRecordEnds = {});

  private:
    friend class ActiveRun;
    friend class RunContext;
    // Locks folder for context's run; false (told) when another run holds it or it
    // cannot be locked.
    bool lock(RunContext& context, const Path& folder);

    JournalingFileSystem& files_;
    Prompter& prompter_;
    Notifier& notifier_;
    RunFrontEnd* frontEnd_ = nullptr;
    bool runOpen_ = false;
};
