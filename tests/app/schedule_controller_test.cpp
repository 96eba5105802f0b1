#include <gtest/gtest.h>

#include "controller_fixture.h"

namespace {

// A crontab kept in memory, answering as the real tool does.
struct CrontabFixture : ControllerFixture {
    std::optional<QByteArray> table;

    explicit CrontabFixture(QStringList arguments) : ControllerFixture(std::move(arguments)) {
        tools.handler = [this](const ToolRequest& r) {
            if (r.arguments == QStringList{"-l"}) {
                if (!table) return FakeToolRunner::finished(1, {}, "no crontab for tester\n");
                return FakeToolRunner::finished(0, *table);
            }
            table = r.input.value_or(QByteArray());
            return FakeToolRunner::finished(0);
        };
    }
};

TEST(ScheduleController, WritesTheControlsAsOneEntryAndRemovesIt) {
    CrontabFixture f({"/opt/My Apps/desktidy"});
    f.table = QByteArray("MAILTO=\"\"\n1 2 * * * /bin/true\n");
    SetupForm& form = f.c().form;
    form.schedTime.setTime(QTime(14, 30));
    form.everyHourCheck = false;
    form.byDayMonth = 0;
    form.schedAll = false;
    form.schedSun = form.schedMon = form.schedWed = true;
    f.c().changeSchedRadio();

    EXPECT_EQ(f.c().schedule(), RunResult::Done);
    EXPECT_EQ(f.c().schedule(), RunResult::Done);
    EXPECT_EQ(*f.table, "MAILTO=\"\"\n1 2 * * * /bin/true\n"
                        "30\t14\t*\t*\t7,1,3\t/opt/My\\ Apps/desktidy 1 >/dev/null 2>&1 # Desktidy.app\n");
    EXPECT_EQ(f.prompter.calls.last(), "notice|Desktidy has been scheduled.");
    // Scheduling saved the controls.
    EXPECT_EQ(f.c().store().value("schedDateValue").toString().mid(11, 5), "14:30");

    EXPECT_EQ(f.c().removeSchedule(), RunResult::Done);
    EXPECT_EQ(*f.table, "MAILTO=\"\"\n1 2 * * * /bin/true\n");
    EXPECT_EQ(f.c().removeSched, 0);
    EXPECT_EQ(f.prompter.calls.last(), "notice|The Desktidy schedule has been removed.");
}

TEST(ScheduleController, ARelativeProgramNameIsResolvedForCron) {
    ControllerFixture f({"desktidy"});
    EXPECT_TRUE(f.c().dktCommand.startsWith("/")) << f.c().dktCommand.toStdString();
}

}  // namespace
