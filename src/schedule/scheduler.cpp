#include "schedule/scheduler.h"

const QString Scheduler::readFailureMessage = QStringLiteral(
    "Something prevented Desktidy from reading your crontab which is where the scheduling "
    "information is put.  You must have access to the crontab in order for Desktidy to be "
    "scheduled.");

const QString Scheduler::missingToolMessage =
    QStringLiteral("Scheduling needs the crontab tool from the cron package.");

std::optional<QByteArray> Scheduler::readCrontab() {
    const ToolResult listing =
        tools_.run({crontabTool_, {QStringLiteral("-l")}, QString(), std::nullopt});
    if (listing.started && listing.error.contains("no crontab for")) return QByteArray();
    if (!listing.succeeded()) {
        prompter_.criticalNotice(listing.started ? readFailureMessage : missingToolMessage);
        return std::nullopt;
    }
    return listing.output;
}

RunResult Scheduler::write(const std::optional<QByteArray>& entry) {
    const std::optional<QByteArray> current = readCrontab();
    if (!current) return RunResult::Failed;

    const QByteArray table = replaceProgramLines(*current, entry);
    const ToolResult install = tools_.run({crontabTool_, {QStringLiteral("-")}, QString(), table});
    if (!install.succeeded()) {
        // Saying "scheduled" here would leave the user believing in a job that never runs.
        QString reason = QString::fromLocal8Bit(install.error).trimmed();
        if (reason.isEmpty())
            reason = install.started
                         ? QStringLiteral("crontab exited with status %1").arg(install.exitCode)
                         : install.startError;
        prompter_.criticalNotice(
            QStringLiteral("Desktidy could not write the schedule to your crontab: ") + reason);
        return RunResult::Failed;
    }
    prompter_.notice(entry ? QStringLiteral("Desktidy has been scheduled.")
                           : QStringLiteral("The Desktidy schedule has been removed."));
    return RunResult::Done;
}
