#include "app/desktidy_controller.h"
#include "runs/journaling_file_system.h"
#include "runs/run_history.h"
#include "runs/run_recovery.h"
#include "runs/run_undo.h"

RunProgress DesktidyController::journaledProgress() {
    RunProgress progress = runOptions_.progress;
    auto* journal = dynamic_cast<JournalingFileSystem*>(&services_.files);
    if (!journal) return progress;
    // Each pass of a run reports its first item with its total: the record keeps it.
    progress.onStep = [journal, shown = progress.onStep](qsizetype done, qsizetype total,
                                                         const QString& item) {
        if (done == 1) journal->notePlanned(total);
        if (shown) shown(done, total, item);
    };
    return progress;
}

RunHistory DesktidyController::runHistory() const {
    return RunHistory(desktidyStateFolder(services_.user.home) / "history");
}

RunResult DesktidyController::undoRun(const RunRecord& record) {
    QString where;
    if (!record.folders.isEmpty() && !record.folders.first().isEmpty())
        where = QStringLiteral(" in ") + record.folders.first().display();
    if (!services_.prompter.confirm(
            QStringLiteral("Undo %1?").arg(runKindTitle(record.kind)),
            QStringLiteral("Desktidy will move back what run %1 (%2%3) moved. An item that has "
                           "moved since, or whose old place is taken, stays where it is.")
                .arg(record.number)
                .arg(runKindTitle(record.kind), where),
            QStringLiteral("Undo")))
        return RunResult::Cancelled;
    return carryOutUndo(record);
}

RunResult DesktidyController::carryOutUndo(const RunRecord& record) {
    // Undo is a run like any other: journaled, so that it can be undone too.
    auto* journaling = dynamic_cast<JournalingFileSystem*>(&services_.files);
    std::optional<JournalingFileSystem> own;
    if (!journaling)
        journaling = &own.emplace(services_.files, desktidyStateFolder(services_.user.home));
    const UndoOutcome outcome =
        ::undoRun(*journaling, runHistory(), record, trashLocation(), services_.prompter);
    if (outcome.status == UndoOutcome::Status::Refused) {
        services_.prompter.criticalNotice(outcome.message);
        return RunResult::Failed;
    }
    services_.prompter.notice(outcome.summary(record));
    return outcome.status == UndoOutcome::Status::Done ? RunResult::Done : RunResult::Failed;
}

QList<StoppedRun> DesktidyController::recoverStoppedRuns() {
    return ::recoverStoppedRuns(services_.files, runHistory());
}

void DesktidyController::reviewStoppedRuns() {
    for (const StoppedRun& stopped : recoverStoppedRuns()) {
        const std::optional<RunRecord> record = runHistory().read(stopped.number);
        if (!record) continue;
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
                    .arg(runKindTitle(stopped.kind), moved),
                QStringLiteral("Undo"), QStringLiteral("Keep")))
            (void)carryOutUndo(*record);
    }
}
