#include "runs/run_pipeline.h"

#include <QtGlobal>
#include <cstring>

#include "runs/run_history.h"

namespace {

RunOutcome outcomeOf(RunResult result, const RunReport& report) {
    if (result == RunResult::Cancelled || report.cancelled) return RunOutcome::Stopped;
    if (result == RunResult::Failed || report.failed > 0) return RunOutcome::Failed;
    return RunOutcome::Done;
}

}  // namespace

// --- RunContext ---

RunContext::RunContext(RunPipeline& pipeline, JournalingFileSystem& files, Prompter& prompter,
                       RunObserver& shown)
    : pipeline_(pipeline), files_(files), prompter_(prompter), observer_(shown, files) {}

void RunContext::RecordingObserver::passBegins(const QString& title, qsizetype total,
                                               bool showsItems) {
    // A run stopped half-way can then tell how many of how many it moved.
    journal_.notePlanned(total);
    shown_.passBegins(title, total, showsItems);
}

void RunContext::RecordingObserver::step(qsizetype done, qsizetype total, const StepItem& item) {
    shown_.step(done, total, item);
}

bool RunContext::addFolder(const Path& folder) {
    if (!pipeline_.lock(*this, folder)) return false;
    files_.noteFolder(folder);
    return true;
}

void RunContext::addPart(const Path& folder, const RunReport& report) {
    parts_.append({folder, report});
    report_.addCounts(report);
}

void RunContext::notifyAtEnd(const QString& title, const QString& description,
                             const QString& name) {
    notifications_.append({title, description, name});
}

// --- ActiveRun ---

ActiveRun::ActiveRun(RunPipeline& pipeline, RunKind kind) : pipeline_(&pipeline), kind_(kind) {}

ActiveRun::ActiveRun(ActiveRun&& other) noexcept
    : afterRecordEnds(std::move(other.afterRecordEnds)),
      pipeline_(other.pipeline_),
      kind_(other.kind_),
      context_(std::move(other.context_)),
      started_(other.started_),
      ended_(other.ended_),
      refusal_(other.refusal_) {
    other.ended_ = true;  // the moved-from run has nothing left to end
}

ActiveRun::~ActiveRun() {
    if (ended_) return;
    Q_ASSERT_X(false, "ActiveRun", "a run was left without its end");
    (void)end(RunResult::Failed);
}

RunEnd ActiveRun::end(RunResult result) {
    RunEnd runEnd;
    runEnd.kind = kind_;
    if (ended_) return runEnd;
    ended_ = true;
    if (!started_) {
        runEnd.result = refusal_;
        if (context_) {
            (void)pipeline_->files_.endRun(RunOutcome::Stopped);  // nothing was written
            context_->locks_.clear();
        }
        pipeline_->runOpen_ = false;
        return runEnd;
    }
    RunContext& context = *context_;
    runEnd.started = true;
    runEnd.report = context.report_;
    runEnd.report.kind = kind_;
    runEnd.parts = context.parts_;
    if (result == RunResult::Done && runEnd.report.failed > 0) result = RunResult::Failed;
    if (runEnd.report.cancelled && result == RunResult::Done) result = RunResult::Cancelled;
    runEnd.result = result;
    JournalingFileSystem& files = pipeline_->files_;
    // The record ends before anything is said, and before the folders are free for another
    // run: what a reader of the history sees is never behind what the user was told.
    runEnd.runNumber = files.endRun(outcomeOf(result, runEnd.report), resultLine(runEnd.report));
    if (runEnd.runNumber != 0)
        RunHistory(files.historyFolder()).prune(QDateTime::currentDateTimeUtc());
    context.locks_.clear();
    pipeline_->runOpen_ = false;
    if (afterRecordEnds) afterRecordEnds(runEnd);
    if (pipeline_->frontEnd_) pipeline_->frontEnd_->runEnded(runEnd);
    for (const RunContext::Notification& n : std::as_const(context.notifications_))
        pipeline_->notifier_.notify(n.title, n.description, n.name);
    for (const auto& [notice, critical] : std::as_const(context.notices_)) {
        if (critical)
            pipeline_->prompter_.criticalNotice(notice);
        else
            pipeline_->prompter_.notice(notice);
    }
    return runEnd;
}

// --- RunPipeline ---

RunPipeline::RunPipeline(JournalingFileSystem& files, Prompter& prompter, Notifier& notifier)
    : files_(files), prompter_(prompter), notifier_(notifier) {}

bool RunPipeline::lock(RunContext& context, const Path& folder) {
    if (folder.isEmpty()) return true;
    const QByteArray key = FolderLock::keyOf(folder);
    // A folder spelled twice, or reached through a link, is one folder, locked once.
    if (key.isEmpty() || context.lockedKeys_.contains(key)) return true;
    FolderLock lock;
    switch (lock.acquire(files_.lockFolder(), folder)) {
        case FolderLock::Outcome::Held:
            context.locks_.push_back(std::move(lock));
            context.lockedKeys_ << key;
            return true;
        case FolderLock::Outcome::Missing:
            return true;  // made by the run itself: nothing else can be changing it
        case FolderLock::Outcome::Busy:
            prompter_.criticalNotice(QStringLiteral("Another Desktidy run is changing ") +
                                     folder.display() +
                                     QStringLiteral(". Try again when it has finished."));
            return false;
        case FolderLock::Outcome::Unavailable:
            // Without the lock a second run could change the folder at the same time.
            prompter_.criticalNotice(
                QStringLiteral("%1 cannot be locked against other Desktidy runs: %2 (in %3).")
                    .arg(folder.display(), QString::fromLocal8Bit(std::strerror(lock.error())),
                         files_.lockFolder().display()));
            return false;
    }
    return false;
}

ActiveRun RunPipeline::begin(const RunRequest& request) {
    ActiveRun run(*this, request.kind);
    Q_ASSERT_X(!runOpen_, "RunPipeline::begin", "a run began while another was open");
    runOpen_ = true;
    run.context_.reset(
        new RunContext(*this, files_, prompter_, frontEnd_ ? *frontEnd_ : silentObserver()));
    for (const Path& folder : request.folders) {
        if (!lock(*run.context_, folder)) {
            run.refusal_ = RunResult::Failed;
            run.context_->locks_.clear();
            run.context_.reset();
            return run;
        }
    }
    // Opened before the question: a run that changes nothing (Cancel) writes no record, as
    // the record is made at the first change.
    files_.beginRun({runKindKey(request.kind), request.folders.value(0), request.options});
    for (const Path& folder : request.folders.mid(1)) files_.noteFolder(folder);
    if (request.question) {
        const RunQuestion& q = *request.question;
        const bool yes = q.details
                             ? prompter_.confirmWithDetails(q.title, q.message, q.button, q.details)
                             : prompter_.confirm(q.title, q.message, q.button);
        if (!yes) {
            run.refusal_ = RunResult::Cancelled;
            return run;
        }
    }
    run.started_ = true;
    return run;
}

RunEnd RunPipeline::run(const RunRequest& request, const Execute& execute,
                        const std::function<void(RunEnd&)>& afterRecordEnds) {
    ActiveRun active = begin(request);
    active.afterRecordEnds = afterRecordEnds;
    if (!active.started()) return active.end(RunResult::Failed);
    const RunResult result = execute(active.context());
    return active.end(result);
}
