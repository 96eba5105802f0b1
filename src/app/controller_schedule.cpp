#include "app/desktidy_controller.h"
#include "schedule/crontab_entry.h"
#include "schedule/scheduler.h"

namespace {

ScheduleFields fieldsOf(const Schedule& schedule) {
    ScheduleFields fields;
    fields.everyNHours = schedule.everyNHours;
    fields.hoursStep = schedule.hoursStep;
    fields.minute = schedule.timeOfDay().minute();
    fields.hour = schedule.timeOfDay().hour();
    fields.byWeekdays = schedule.byWeekdays;
    fields.days = {schedule.days.everyDay};
    for (bool on : schedule.days.weekdays) fields.days.append(on);
    fields.month = schedule.month;
    fields.monthDay = schedule.monthDay;
    return fields;
}

}  // namespace

RunResult DesktidyController::schedule() {
    saveSetup();
    Scheduler scheduler(services.tools, services.prompter, services.toolPaths.crontab);
    std::optional<QByteArray> entry;
    if (removeSched == 0) {
        if (dktCommand.isEmpty()) {
            services.prompter.criticalNotice(QStringLiteral(
                "Desktidy cannot be scheduled from a folder whose name holds a line break."));
            return RunResult::Failed;
        }
        entry = crontabEntry(fieldsOf(draft.schedule), dktCommand);
    }
    const RunResult result = scheduler.write(entry);
    removeSched = 0;
    return result;
}

RunResult DesktidyController::removeSchedule() {
    removeSched = 1;
    return schedule();
}

std::optional<QList<QByteArray>> DesktidyController::scheduleEntries() {
    Scheduler scheduler(services.tools, services.prompter, services.toolPaths.crontab);
    const std::optional<QByteArray> table = scheduler.readCrontab();
    if (!table) return std::nullopt;
    return programLines(*table);
}
