#include "app/gui/schedule_pane.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "app/gui/folders_pane.h"
#include "schedule/schedule_words.h"
#include "settings/settings.h"

namespace {

QComboBox* allAndNumbers(int last, QWidget* parent) {
    auto* popUp = new QComboBox(parent);
    popUp->addItem(QStringLiteral("All"));  // item n carries the number n
    for (int n = 1; n <= last; ++n) popUp->addItem(QString::number(n));
    return popUp;
}

}  // namespace

SchedulePane::SchedulePane(Schedule& schedule, double& watchSettle, QWidget* parent)
    : QWidget(parent), schedule_(schedule), watchSettle_(watchSettle) {
    schedTime = new QTimeEdit(this);
    schedTime->setDisplayFormat(QStringLiteral("HH:mm"));
    everyHourCheck = new QCheckBox(tr("&Every"), this);
    hoursStepper = new QSpinBox(this);
    hoursStepper->setRange(1, 23);
    hoursStepper->setSuffix(tr(" hours"));
    byDay = new QRadioButton(tr("On these days of the &week:"), this);
    byMonth = new QRadioButton(tr("In this mont&h, on this day:"), this);
    byDayMonth_ = new QButtonGroup(this);
    byDayMonth_->addButton(byDay, 0);
    byDayMonth_->addButton(byMonth, 1);
    schedAll = new QCheckBox(tr("Every &day"), this);
    const QString dayNames[7] = {tr("Sunday"),   tr("Monday"), tr("Tuesday"), tr("Wednesday"),
                                 tr("Thursday"), tr("Friday"), tr("Saturday")};
    for (int d = 0; d < 7; ++d) weekdays[d] = new QCheckBox(dayNames[d], this);
    schedMonthButton = allAndNumbers(12, this);
    schedMdayButton = allAndNumbers(31, this);
    scheduleButton = new QPushButton(tr("S&chedule"), this);
    removeScheduleButton = new QPushButton(tr("Remo&ve Schedule"), this);
    currentEntry = new QLabel(this);
    currentEntry->setObjectName(QStringLiteral("currentEntry"));
    currentEntry->setTextFormat(Qt::PlainText);
    currentEntry->setWordWrap(true);
    currentEntry->setTextInteractionFlags(Qt::TextSelectableByMouse);
    watchCheck = new QCheckBox(tr("File new items as they &arrive"), this);
    watchSettleBox = new QDoubleSpinBox(this);
    watchSettleBox->setDecimals(1);
    watchSettleBox->setRange(0.1, 3600);
    watchSettleBox->setSuffix(tr(" s"));
    watchState = new QLabel(this);
    watchState->setObjectName(QStringLiteral("watchState"));
    watchState->setTextFormat(Qt::PlainText);
    watchState->setWordWrap(true);

    auto* when = new QGroupBox(tr("Time"), this);
    auto* whenLayout = new QGridLayout(when);
    whenLayout->addWidget(buddyLabel(tr("&At"), schedTime), 0, 0);
    whenLayout->addWidget(schedTime, 0, 1);
    whenLayout->addWidget(everyHourCheck, 1, 0);
    whenLayout->addWidget(hoursStepper, 1, 1);
    whenLayout->setColumnStretch(2, 1);

    auto* days = new QGroupBox(tr("Days"), this);
    auto* daysLayout = new QGridLayout(days);
    daysLayout->addWidget(byDay, 0, 0, 1, 4);
    daysLayout->addWidget(schedAll, 1, 0);
    for (int d = 0; d < 7; ++d) daysLayout->addWidget(weekdays[d], 1 + (d + 1) / 4, (d + 1) % 4);
    daysLayout->addWidget(byMonth, 3, 0, 1, 4);
    auto* monthRow = new QHBoxLayout;
    monthRow->addWidget(buddyLabel(tr("Mo&nth"), schedMonthButton));
    monthRow->addWidget(schedMonthButton);
    monthRow->addWidget(buddyLabel(tr("Da&y"), schedMdayButton));
    monthRow->addWidget(schedMdayButton);
    monthRow->addStretch();
    daysLayout->addLayout(monthRow, 4, 0, 1, 4);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(removeScheduleButton);
    buttons->addWidget(scheduleButton);

    auto* arrival = new QGroupBox(tr("New items"), this);
    auto* arrivalLayout = new QGridLayout(arrival);
    arrivalLayout->addWidget(watchCheck, 0, 0, 1, 3);
    arrivalLayout->addWidget(buddyLabel(tr("once unchanged &for"), watchSettleBox), 1, 0);
    arrivalLayout->addWidget(watchSettleBox, 1, 1);
    arrivalLayout->setColumnStretch(2, 1);
    arrivalLayout->addWidget(watchState, 2, 0, 1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(when);
    layout->addWidget(days);
    layout->addWidget(currentEntry);
    layout->addLayout(buttons);
    layout->addWidget(arrival);
    layout->addStretch();

    connect(schedTime, &QTimeEdit::timeChanged, this,
            [this](QTime t) { schedule_.setTimeOfDay(t); });
    connect(everyHourCheck, &QCheckBox::toggled, this, [this](bool on) {
        schedule_.everyNHours = on;
        refresh();
    });
    connect(hoursStepper, &QSpinBox::valueChanged, this,
            [this](int n) { schedule_.hoursStep = n; });
    connect(byDayMonth_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (!on) return;
        schedule_.byWeekdays = id == 0;
        refresh();
    });
    connect(schedAll, &QCheckBox::toggled, this, [this](bool on) {
        schedule_.days.setEveryDay(on);
        refresh();
    });
    for (int d = 0; d < 7; ++d)
        connect(weekdays[d], &QCheckBox::toggled, this, [this, d](bool on) {
            schedule_.days.setWeekday(d, on);
            refresh();
        });
    connect(schedMonthButton, &QComboBox::currentIndexChanged, this,
            [this](int i) { schedule_.month = i; });
    connect(schedMdayButton, &QComboBox::currentIndexChanged, this,
            [this](int i) { schedule_.monthDay = i; });
    connect(watchSettleBox, &QDoubleSpinBox::valueChanged, this,
            [this](double seconds) { watchSettle_ = seconds; });
    refresh();
}

void SchedulePane::refresh() {
    const QSignalBlocker blockers[] = {
        QSignalBlocker(schedTime),       QSignalBlocker(everyHourCheck),
        QSignalBlocker(hoursStepper),    QSignalBlocker(byDayMonth_),
        QSignalBlocker(schedAll),        QSignalBlocker(schedMonthButton),
        QSignalBlocker(schedMdayButton), QSignalBlocker(watchSettleBox)};
    watchSettleBox->setValue(watchSettle_);
    schedTime->setTime(schedule_.timeOfDay());
    everyHourCheck->setChecked(schedule_.everyNHours);
    hoursStepper->setValue(schedule_.hoursStep);
    (schedule_.byWeekdays ? byDay : byMonth)->setChecked(true);
    schedAll->setChecked(schedule_.days.everyDay);
    for (int d = 0; d < 7; ++d) {
        const QSignalBlocker block(weekdays[d]);
        weekdays[d]->setChecked(schedule_.days.weekdays[d]);
    }
    schedMonthButton->setCurrentIndex(std::clamp(schedule_.month, 0, 12));
    schedMdayButton->setCurrentIndex(std::clamp(schedule_.monthDay, 0, 31));
    // The day boxes take input when scheduling by weekdays, the pop-ups by month.
    schedAll->setEnabled(schedule_.byWeekdays);
    for (QCheckBox* box : weekdays) box->setEnabled(schedule_.byWeekdays);
    schedMonthButton->setEnabled(!schedule_.byWeekdays);
    schedMdayButton->setEnabled(!schedule_.byWeekdays);
    // A time of day, or a step in hours: only the chosen one takes input.
    schedTime->setEnabled(!schedule_.everyNHours);
    hoursStepper->setEnabled(schedule_.everyNHours);
}

void SchedulePane::showEntries(const std::optional<QList<QByteArray>>& lines,
                               const QString& readError) {
    if (!lines) {
        currentEntry->setText(readError);
    } else if (lines->isEmpty()) {
        currentEntry->setText(tr("Desktidy is not scheduled now."));
    } else {
        // Each entry in words, with its line below.
        QStringList texts;
        for (const QByteArray& line : *lines) {
            const std::optional<QString> words = describeCrontabEntry(line);
            texts << (words ? *words + u'.' : tr("Now in your crontab:")) + u'\n' +
                         QString::fromLocal8Bit(line).trimmed();
        }
        currentEntry->setText(texts.join(QStringLiteral("\n\n")));
    }
}

void SchedulePane::showWatchState(WatchService::State state) {
    const QSignalBlocker block(watchCheck);
    watchCheck->setChecked(state == WatchService::State::Running);
    switch (state) {
        case WatchService::State::Running:
            watchState->setText(tr("The watch is running."));
            break;
        case WatchService::State::NotRunning:
            watchState->setText(tr("The watch is not running."));
            break;
        case WatchService::State::NoServiceManager:
            watchState->setText(
                tr("No user service manager is running: start \u201cdesktidy watch\u201d with "
                   "your session instead."));
            break;
    }
}
