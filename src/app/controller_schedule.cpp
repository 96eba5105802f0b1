#include "app/desktidy_controller.h"
#include "schedule/crontab_entry.h"
#include "schedule/scheduler.h"

RunResult DesktidyController::setSchedule(const Schedule& schedule) {
    // An entry cron would never start must not pass for a schedule.
    if (const QString reason = scheduleNeverRunsReason(schedule); !reason.isEmpty()) {
        services_.prompter.criticalNotice(reason);
        return RunResult::Failed;
    }
    draft_.schedule = schedule;
    saveSetup();
    if (cronCommand_.isEmpty()) {
        services_.prompter.criticalNotice(QStringLiteral(
            "Desktidy cannot be scheduled from a folder whose name holds a line break."));
        return RunResult::Failed;
    }
    Scheduler scheduler(services_.tools, services_.prompter, services_.toolPaths.crontab);
    return scheduler.write(crontabEntry(draft_.schedule, cronCommand_));
}

RunResult DesktidyController::removeSchedule() {
    saveSetup();
    Scheduler scheduler(services_.tools, services_.prompter, services_.toolPaths.crontab);
    return scheduler.write(std::nullopt);
}

std::optional<QList<QByteArray>> DesktidyController::scheduleEntries() {
    Scheduler scheduler(services_.tools, services_.prompter, services_.toolPaths.crontab);
    const std::optional<QByteArray> table = scheduler.readCrontab();
    if (!table) return std::nullopt;
    return programLines(*table);
}
