#include "app/desktidy_controller.h"
#include "runs/journaling_file_system.h"
#include "runs/run_history.h"
#include "runs/run_recovery.h"
#include "runs/run_undo.h"

void DesktidyController::setRunOptions(RunOptions options) {
    runOptions_ = options;
    pipeline_.setFrontEnd(options.frontEnd);
}

RunHistory DesktidyController::runHistory() const {
    return RunHistory(services_.files.historyFolder());
}

std::optional<RunRecord> DesktidyController::runToUndo() const {
    return runHistory().newestToUndo();
}

RunResult DesktidyController::undoRun(const RunRecord& record, Confirmation ask) {
    QString where;
    if (!record.folders.isEmpty() && !record.folders.first().isEmpty())
        where = QStringLiteral(" in ") + record.folders.first().display();
    const QString kind = runKindName(record.kind, runOptions_.wording);
    // Asked here, or already (the watch's notification was the question).
    std::optional<RunQuestion> question;
    if (ask == Confirmation::AskFirst)
        question = RunQuestion{inWords(QStringLiteral("Undo %1?").arg(kind),
                                       QStringLiteral("Undo run %1?").arg(record.number)),
                               QStringLiteral("Desktidy will move back what run %1 (%2%3) moved. "
                                              "An item that has moved since, or whose old place "
                                              "is taken, stays where it is.")
                                   .arg(record.number)
                                   .arg(kind, where),
                               QStringLiteral("Undo"),
                               {}};
    return carryOutUndo(record, std::move(question));
}

RunResult DesktidyController::carryOutUndo(const RunRecord& record,
                                           std::optional<RunQuestion> question) {
    const RunHistory history = runHistory();
    if (const std::optional<QString> why = whyNotUndoable(history, record, runOptions_.wording)) {
        services_.prompter.criticalNotice(*why);
        return RunResult::Failed;
    }
    // Undo is a run like any other: recorded, so that it can be undone too, and holding
    // every folder of the run it undoes.
    RunRequest request{RunKind::Undo, record.folders};
    request.options = {{"undoes", QByteArray::number(record.number)}};
    request.question = std::move(question);
    UndoOutcome outcome;
    const RunEnd end = pipeline_.run(
        request,
        [&](RunContext& run) {
            outcome = undoSteps(services_.files, record, trashLocation(), run.observer());
            run.report() = outcome.report(record, runOptions_.wording);
            // What stayed, or could not be moved back, is told item by item.
            if (outcome.status != UndoOutcome::Status::Done || !outcome.skipped.isEmpty())
                run.noticeAtEnd(outcome.summary(record, runOptions_.wording),
                                outcome.status == UndoOutcome::Status::Failed);
            switch (outcome.status) {
                case UndoOutcome::Status::Stopped:
                    return RunResult::Cancelled;
                case UndoOutcome::Status::Done:
                    return RunResult::Done;
                default:
                    return RunResult::Failed;
            }
        },
        [&](RunEnd& ended) { (void)markUndone(history, record, outcome, ended.runNumber); });
    return end.result;
}

QList<StoppedRun> DesktidyController::recoverStoppedRuns() {
    return ::recoverStoppedRuns(services_.files, runHistory());
}

void DesktidyController::reviewStoppedRuns() {
    for (const StoppedRun& stopped : recoverStoppedRuns()) {
        const std::optional<RunRecord> record = runHistory().read(stopped.number);
        if (!record) continue;
        // A run of copies has no undo to offer: what its start put right is told.
        if (!isUndoable(record->kind)) {
            services_.prompter.notice(stopped.line(runOptions_.wording));
            continue;
        }
        // The planned count is known for the passes the run began.
        const QString moved =
            stopped.planned >= stopped.movesMade && stopped.planned > 0
                ? QStringLiteral("%1 of %2").arg(stopped.movesMade).arg(stopped.planned)
                : QString::number(stopped.movesMade);
        if (services_.prompter.confirmOr(
                QStringLiteral("A run stopped before its end"),
                QStringLiteral("Run %1 (%2) stopped before its end, after moving %3 items. Undo "
                               "what it did, or keep it as it is?")
                    .arg(stopped.number)
                    .arg(runKindName(stopped.kind, runOptions_.wording), moved),
                QStringLiteral("Undo"), QStringLiteral("Keep")))
            (void)carryOutUndo(*record, std::nullopt);
    }
}
