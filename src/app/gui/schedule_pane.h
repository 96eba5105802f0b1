#pragma once

#include <QByteArray>
#include <QList>
#include <QWidget>
#include <optional>

#include "schedule/watch_service.h"

struct Schedule;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimeEdit;

// The Schedule pane: when the unattended run files the folder list, and whether the watch
// files new items as they arrive. Every control writes its value into the draft at once
// (the schedule, the day boxes through its rules, the settle time); refresh() shows them
// again.
class SchedulePane : public QWidget {
    Q_OBJECT
  public:
    SchedulePane(Schedule& schedule, double& watchSettle, QWidget* parent = nullptr);
    void refresh();
    // Shows the program's lines now in the crontab, or that there are none, or readError
    // when the crontab could not be read (nullopt).
    void showEntries(const std::optional<QList<QByteArray>>& lines, const QString& readError);
    // Shows whether the watch runs as a service, its box checked when it does.
    void showWatchState(WatchService::State state);

    QTimeEdit* schedTime;
    QCheckBox* everyHourCheck;
    QSpinBox* hoursStepper;  // the stepper and its number field in one
    QRadioButton* byDay;     // the two rows of the by-day-or-month choice
    QRadioButton* byMonth;
    QCheckBox* schedAll;
    QCheckBox* weekdays[7];  // Sunday to Saturday
    QComboBox* schedMonthButton;
    QComboBox* schedMdayButton;
    QPushButton* scheduleButton;
    QPushButton* removeScheduleButton;
    QLabel* currentEntry;
    QCheckBox* watchCheck;  // "File new items as they arrive": the service on or off
    QDoubleSpinBox* watchSettleBox;
    QLabel* watchState;

  private:
    Schedule& schedule_;
    double& watchSettle_;
    QButtonGroup* byDayMonth_;
};
