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

TEST(ScheduleController, DayBoxesAndModeFollowEachOther) {
    ControllerFixture f;
    SetupForm& form = f.c().form;
    form.schedAll = true;
    f.c().changeSchedAll();
    EXPECT_TRUE(form.schedSun && form.schedSat);
    f.c().changeSchedDays();
    EXPECT_FALSE(form.schedAll);
    form.schedAll = false;
    f.c().changeSchedAll();
    EXPECT_FALSE(form.schedMon || form.schedFri);

    form.byDayMonth = 1;
    f.c().changeSchedRadio();
    EXPECT_EQ(f.c().settings.setByDay, 0);
    EXPECT_FALSE(form.schedDaysEnabled);
    EXPECT_TRUE(form.schedMonthEnabled);
    // A load (Setup's Cancel) puts back the stored mode and what it enables.
    f.c().saveSetup();
    form.byDayMonth = 0;
    f.c().cancelSetup();
    EXPECT_EQ(form.byDayMonth, 1);
    EXPECT_TRUE(form.schedMonthEnabled);
}

TEST(ScheduleController, ARelativeProgramNameIsResolvedForCron) {
    ControllerFixture f({"desktidy"});
    EXPECT_TRUE(f.c().dktCommand.startsWith("/")) << f.c().dktCommand.toStdString();
}

}  // namespace

namespace {

TEST(ScheduledRun, FilesEveryListedFolderWithoutAskingAndPostsTheNotification) {
    ControllerFixture f;
    writeFile(f.home / "A/song.mp3");
    writeFile(f.home / "B/page.html");
    f.c().settings.myFoldersArray = {f.home / "A", f.home / "B"};
    f.c().saveSetup();

    f.restart({"/usr/bin/desktidy", "1"});
    EXPECT_TRUE(f.c().applicationDidFinishLaunching());
    EXPECT_TRUE(f.prompter.callsStartingWith("confirm|").isEmpty());
    EXPECT_TRUE(QFile::exists(f.home / "A/Audio/song.mp3"));
    EXPECT_TRUE(QFile::exists(f.home / "B/Web/page.html"));
    ASSERT_EQ(f.notifier.posted.size(), 1);
    EXPECT_TRUE(f.notifier.posted[0].startsWith("Done filing all of your files|"));
    EXPECT_EQ(f.c().store().value("pathString").toString(), f.home / "B");

    f.restart({"/usr/bin/desktidy", "0"});
    EXPECT_FALSE(f.c().applicationDidFinishLaunching());
}

}  // namespace
