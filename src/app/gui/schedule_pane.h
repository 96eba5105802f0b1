#pragma once

#include <QWidget>

struct SetupForm;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimeEdit;

// The Schedule pane: when the unattended run files the folder list. Every control writes
// its value into the setup form at once; refresh() shows the form again.
class SchedulePane : public QWidget {
    Q_OBJECT
public:
    SchedulePane(SetupForm& form, QWidget* parent = nullptr);
    void refresh();

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

private:
    bool* weekdayField(int day) const;
    // Day boxes for a schedule by weekdays, the two pop-ups for one by month.
    void enableForMode();

    SetupForm& form_;
    QButtonGroup* byDayMonth_;
};
