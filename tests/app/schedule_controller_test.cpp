#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSettings>

#include "controller_fixture.h"
#include "run_desktidy.h"
#include "schedule/crontab_entry.h"
#include "schedule/scheduler.h"

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

TEST(ScheduleController, WritesTheDraftAsOneEntryAndRemovesIt) {
    CrontabFixture f({"/opt/My Apps/desktidy"});
    f.table = QByteArray("MAILTO=\"\"\n1 2 * * * /bin/true\n");
    Schedule schedule = f.c().draft().schedule;
    schedule.setTimeOfDay(QTime(14, 30));
    schedule.everyNHours = false;
    schedule.byWeekdays = true;
    schedule.days = ScheduleDays{false, {true, true, false, true}};

    EXPECT_EQ(f.c().setSchedule(schedule), RunResult::Done);
    EXPECT_EQ(f.c().setSchedule(schedule), RunResult::Done);
    EXPECT_EQ(*f.table,
              "MAILTO=\"\"\n1 2 * * * /bin/true\n"
              "30\t14\t*\t*\t7,1,3\t/opt/My\\ Apps/desktidy 1 >/dev/null 2>&1 # Desktidy.app\n");
    EXPECT_EQ(f.prompter.calls.last(), "notice|Desktidy has been scheduled.");
    // Scheduling saved the draft.
    EXPECT_EQ(f.c().store().value("schedDateValue").toString().mid(11, 5), "14:30");

    EXPECT_EQ(f.c().removeSchedule(), RunResult::Done);
    EXPECT_EQ(*f.table, "MAILTO=\"\"\n1 2 * * * /bin/true\n");
    EXPECT_EQ(f.prompter.calls.last(), "notice|The Desktidy schedule has been removed.");
}

// A day the month never has is refused on the command line (a usage error) and by the
// operation the Setup panel calls, before anything is saved or written.
TEST(ScheduleController, ADayTheMonthNeverHasIsRefusedBeforeAnythingIsWritten) {
    CrontabFixture f({"/usr/bin/desktidy"});
    Schedule schedule = f.c().draft().schedule;
    schedule.byWeekdays = false;
    schedule.month = 4;
    schedule.monthDay = 31;
    EXPECT_EQ(f.c().setSchedule(schedule), RunResult::Failed);
    EXPECT_EQ(f.prompter.calls.last(),
              "critical|April has no day 31, so the schedule would never run. Choose a day from 1 "
              "to 30, or every day.");
    EXPECT_FALSE(f.table.has_value());
    EXPECT_EQ(f.c().draft().schedule, f.c().saved().schedule);

    const Outcome refused = desktidy({"schedule", "--at", "10:00", "--month", "2", "--day", "31"});
    EXPECT_EQ(std::tuple(refused.status, refused.out, refused.err),
              std::tuple(2, QString(),
                         "desktidy schedule: February has no day 31, so the schedule would never "
                         "run. Choose a day from 1 to 29, or every day.\n"));
}

// The entry takes the time of day the schedule shows, not one read back from the file:
// a time stored with another UTC offset keeps the hour written, and its text.
TEST(ScheduleController, TheEntryHasTheTimeOfDayAsShown) {
    CrontabFixture f({"/usr/bin/desktidy"});
    QSettings(f.home.configFile(), QSettings::IniFormat)
        .setValue("schedDateValue", "2010-05-01 07:45:00 +0200");
    f.restart({"/usr/bin/desktidy"});
    EXPECT_EQ(f.c().draft().schedule.timeOfDay(), QTime(7, 45));
    EXPECT_EQ(f.c().setSchedule(f.c().draft().schedule), RunResult::Done);
    EXPECT_TRUE(f.table->startsWith("45\t7\t*\t*\t*\t/usr/bin/desktidy 1")) << f.table->data();
    EXPECT_EQ(f.c().store().value("schedDateValue").toString(), "2010-05-01 07:45:00 +0200");
}

TEST(ScheduleController, ARelativeProgramNameIsResolvedForCron) {
    ControllerFixture f({"desktidy"});
    const QString self = QFileInfo("/proc/self/exe").canonicalFilePath();
    ASSERT_TRUE(self.endsWith("/app_tests"));
    EXPECT_EQ(f.c().cronCommand(), escapeForCrontab(self) + " 1 >/dev/null 2>&1 # Desktidy.app\n");
}

// The command writes what its options say and nothing else: no time given is a usage
// error (never a made-up 09:00 entry), the days are every day unless given, and nothing
// carries over from the schedule written before. --show says the entry in words.
TEST(ScheduleCommand, WritesOnlyWhatIsGivenAndShowsTheEntryInWords) {
    TempHome home;
    const QString table = home / "crontab.txt";
    const QString tool = writeFile(home / "bin/crontab",
                                   "#!/bin/sh\nif [ \"$1\" = -l ]; then\n"
                                   "  [ -f '" +
                                       QFile::encodeName(table) +
                                       "' ] || { echo 'no crontab for x' >&2; exit 1; }\n"
                                       "  exec cat '" +
                                       QFile::encodeName(table) +
                                       "'\nfi\n"
                                       "cat > '" +
                                       QFile::encodeName(table) + "'\n");
    QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner);
    const QByteArray saved = qgetenv("DESKTIDY_CRONTAB");
    qputenv("DESKTIDY_CRONTAB", QFile::encodeName(tool));

    for (const QStringList& noTime : {QStringList{"schedule"}, {"schedule", "--days", "mon"}}) {
        const Outcome refused = desktidy(noTime);
        EXPECT_EQ(
            std::tuple(refused.status, refused.err),
            std::tuple(2, QString("desktidy schedule: give the time: --at HH:MM, or --every N "
                                  "hours (see schedule --help)\n")));
    }
    EXPECT_FALSE(QFile::exists(table));
    ASSERT_EQ(desktidy({"schedule", "--at", "7:05", "--days", "mon,wed"}).status, 0);
    EXPECT_TRUE(readFile(table).startsWith("5\t7\t*\t*\t1,3\t")) << readFile(table).data();
    ASSERT_EQ(desktidy({"schedule", "--every", "3"}).status, 0);
    EXPECT_TRUE(readFile(table).startsWith("0\t*/3\t*\t*\t*\t")) << readFile(table).data();
    const Outcome shown = desktidy({"schedule", "--show"});
    EXPECT_EQ(shown.out,
              "Files your listed folders every 3 hours:\n  " + QString::fromUtf8(readFile(table)));
    qputenv("DESKTIDY_CRONTAB", saved);
}

// A crontab that cannot be listed, or no crontab tool at all, fails the command and
// says which.
TEST(ScheduleCommand, ACrontabThatCannotBeReadOrRunFailsAndSaysWhy) {
    TempHome home;
    const QString failing =
        writeFile(home / "bin/crontab", "#!/bin/sh\necho 'crontab: cannot open' >&2\nexit 1\n");
    QFile::setPermissions(failing, QFile::permissions(failing) | QFile::ExeOwner);
    const QByteArray saved = qgetenv("DESKTIDY_CRONTAB");
    const QString missing = "Scheduling needs the crontab tool from the cron package.";
    for (const auto& [tool, message] : {std::pair{failing, Scheduler::readFailureMessage},
                                        std::pair{home / "no-such/crontab", missing}}) {
        qputenv("DESKTIDY_CRONTAB", QFile::encodeName(tool));
        const Outcome shown = desktidy({"schedule", "--show"});
        const Outcome scheduled = desktidy({"schedule", "--at", "09:30", "--days", "all"});
        EXPECT_EQ(std::tuple(shown.status, shown.out, shown.err),
                  std::tuple(1, QString(), "desktidy: " + message + "\n"));
        EXPECT_EQ(std::tuple(scheduled.status, scheduled.err),
                  std::tuple(1, "desktidy: " + message + "\n"));
    }
    qputenv("DESKTIDY_CRONTAB", saved);
}

}  // namespace
