#pragma once

#include <QDateTime>
#include <QString>

// The values of the controls that a save reads and a load writes. The window binds its
// widgets to these fields; the command line sets them directly. As with the controls
// themselves, a value changed here and not saved is lost at the next load.
struct SetupForm {
    // Titles of the selected items of the archive-date pop-ups.
    QString archiveMo = QStringLiteral("None");
    QString archiveDa = QStringLiteral("None");
    QString archiveYr = QStringLiteral("None");
    bool updatesCheck = false;
    QString myPathControl;  // the working folder shown in the main window

    // The schedule controls, in their state before the first save.
    QDateTime schedTime = QDateTime(QDate(2000, 1, 1), QTime(9, 0));
    bool schedAll = true;
    bool schedSun = false, schedMon = false, schedTue = false, schedWed = false;
    bool schedThu = false, schedFri = false, schedSat = false;
    int byDayMonth = 0;        // selected row: 0 by day, 1 by month
    int schedMonthButton = 0;  // selected index: 0 "All", n the month n
    int schedMdayButton = 0;   // selected index: 0 "All", n the day n
    int hoursStepper = 2;
    bool everyHourCheck = false;
    // Which schedule controls take input: the day boxes by weekdays, the pop-ups by month.
    bool schedDaysEnabled = true;
    bool schedMonthEnabled = false;

    bool packOverwriteCheck = false;
    bool unpackOverwriteCheck = false;

    int folderTableViewSelectedRow = -1;  // the category table's selection
};
