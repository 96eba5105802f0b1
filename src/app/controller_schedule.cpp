#include "app/desktidy_controller.h"
#include "schedule/crontab_entry.h"
#include "schedule/scheduler.h"

RunResult DesktidyController::schedule() {
    // Save and load again, so the mirrors follow what the controls show now.
    saveSetup();
    getSettings();

    Scheduler scheduler(services.tools, services.prompter, services.toolPaths.crontab);
    std::optional<QByteArray> entry;
    if (removeSched == 0) {
        if (dktCommand.isEmpty()) {
            services.prompter.criticalNotice(QStringLiteral(
                "Desktidy cannot be scheduled from a folder whose name holds a line break."));
            return RunResult::Failed;
        }
        ScheduleFields fields;
        fields.everyNHours = form.everyHourCheck;
        fields.hoursStep = form.hoursStepper;
        fields.minute = settings.schedMin;
        fields.hour = settings.schedHour;
        fields.byWeekdays = settings.setByDay != 0;
        fields.days = settings.schedDaysArray;
        fields.month = form.schedMonthButton;
        fields.monthDay = form.schedMdayButton;
        entry = crontabEntry(fields, dktCommand);
    }
    const RunResult result = scheduler.write(entry);
    removeSched = 0;
    return result;
}

RunResult DesktidyController::removeSchedule() {
    removeSched = 1;
    return schedule();
}

void DesktidyController::changeSchedAll() {
    const bool on = form.schedAll;
    for (bool* day : {&form.schedSun, &form.schedMon, &form.schedTue, &form.schedWed,
                      &form.schedThu, &form.schedFri, &form.schedSat})
        *day = on;
}

void DesktidyController::changeSchedDays() { form.schedAll = false; }

void DesktidyController::changeSchedRadio() {
    settings.setByDay = form.byDayMonth == 0 ? 1 : 0;
    form.schedDaysEnabled = settings.setByDay != 0;
    form.schedMonthEnabled = settings.setByDay == 0;
}

std::optional<QList<QByteArray>> DesktidyController::scheduleEntries() {
    Scheduler scheduler(services.tools, services.prompter, services.toolPaths.crontab);
    const std::optional<QByteArray> table = scheduler.readCrontab();
    if (!table) return std::nullopt;
    return programLines(*table);
}
