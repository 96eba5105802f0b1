#pragma once

#include <QByteArray>
#include <QList>
#include <QWidget>
#include <optional>

struct Schedule;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimeEdit;

// The Schedule pane: when the unattended run files the folder list. Every control writes
// its value into the draft's schedule at once, the day boxes through its rules;
// refresh() shows the schedule again.
class SchedulePane : public QWidget {
    Q_OBJECT
  public:
    SchedulePane(Schedule& schedule, QWidget* parent = nullptr);
    void refresh();
    // Shows the program's lines now in the crontab, or that there are none, or readError
    // when the crontab could not be read (nullopt).
    void showEntries(const std::optional<QList<QByteArray>>& lines, const QString& readError);

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

  private:
    Schedule& schedule_;
    QButtonGroup* byDayMonth_;
};
