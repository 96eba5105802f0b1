#pragma once

#include <QWidget>

class DesktidyController;
struct SetupForm;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimeEdit;

// The Schedule pane: when the unattended run files the folder list. Every control writes
// its value into the setup form at once, the day boxes and the by-day-or-month choice
// through the controller's rules; refresh() shows the form again.
class SchedulePane : public QWidget {
    Q_OBJECT
  public:
    SchedulePane(DesktidyController& controller, QWidget* parent = nullptr);
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
    DesktidyController& controller_;
    SetupForm& form_;
    QButtonGroup* byDayMonth_;
};
