#include "schedule/crontab_entry.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include "schedule/schedule_words.h"

namespace {

// The time, weekday and month fields follow the mode: by weekdays (none, or every day,
// is "*"; the month pop-ups unused) or by month day; every N hours ignores the time. The
// entry reads back in words.
TEST(CrontabEntry, FieldsFollowTheModeAndReadBackInWords) {
    const QString command = buildDktCommand("/Apps/Desktidy.app/Contents/MacOS/Desktidy").value();
    EXPECT_EQ(command, "/Apps/Desktidy.app/Contents/MacOS/Desktidy 1 >/dev/null 2>&1\n");
    struct Row {
        const char* mode;      // w: by weekdays, m: by month day; h: every 3 hours, a: every day
        const char* weekdays;  // Sunday to Saturday
        int month;             // 0: every month
        const char* fields;
        const char* words;  // after "Files your listed folders "
    };
    const Row rows[] = {
        {"w", "1101", 4, "30\t14\t*\t*\t7,1,3\t", "on Sundays, Mondays and Wednesdays at 14:30"},
        {"w", "", 4, "30\t14\t*\t*\t*\t", "every day at 14:30"},
        {"w", "1111111", 4, "30\t14\t*\t*\t7,1,2,3,4,5,6\t", "every day at 14:30"},
        {"wa", "01", 4, "30\t14\t*\t*\t*\t", "every day at 14:30"},
        {"m", "11", 4, "30\t14\t9\t4\t*\t", "on 9 April at 14:30"},
        {"m", "11", 0, "30\t14\t9\t*\t*\t", "on the 9th of every month at 14:30"},
        {"mh", "11", 0, "0\t*/3\t9\t*\t*\t", "every 3 hours, on the 9th of every month"},
        {"wh", "000001", 0, "0\t*/3\t*\t*\t5\t", "every 3 hours, on Fridays"},
    };
    for (const Row& row : rows) {
        const QByteArray mode(row.mode), days(row.weekdays);
        std::array<bool, 7> weekdays{};
        for (int day = 0; day < days.size(); ++day) weekdays[day] = days[day] == '1';
        Schedule s;
        s.setTimeOfDay(QTime(14, 30));
        s.byWeekdays = mode.contains('w');
        s.everyNHours = mode.contains('h');
        s.hoursStep = 3;
        s.days = ScheduleDays{mode.contains('a'), weekdays};
        s.month = row.month;
        s.monthDay = 9;
        const QByteArray entry = crontabEntry(s, command);
        EXPECT_EQ(entry, row.fields + command) << row.fields;
        EXPECT_EQ(describeCrontabEntry(entry),
                  QStringLiteral("Files your listed folders ") + QLatin1String(row.words));
    }
    for (const auto& [line, words] :
         {std::pair{"0\t*/1\t*\t3\t*\tx", "every hour, every day in March"},
          std::pair{"5 7 22 * * x", "on the 22nd of every month at 07:05"},
          std::pair{"5 7 11 * * x", "on the 11th of every month at 07:05"},
          std::pair{"5 7 * 2 * x", "every day in February at 07:05"}})
        EXPECT_EQ(describeCrontabEntry(line), QStringLiteral("Files your listed folders ") + words);
    // A line edited by hand into times the program never writes is not put in words.
    for (const char* line : {"*/5 * * * * x", "0 9 * * 1-5 x", "0 9 1 * 1 x", "0 9 * *"})
        EXPECT_EQ(describeCrontabEntry(line), std::nullopt) << line;
}

// Cron takes "31 2" for February 31 and never runs it: such a day is refused, by month
// only, February 29 being a day of leap years.
TEST(CrontabEntry, ADayTheChosenMonthNeverHasIsRefused) {
    struct Row {
        bool byWeekdays;
        int month, day;
        QString reason;
    };
    const QString april =
        "April has no day 31, so the schedule would never run. Choose a day from 1 to 30, or "
        "every day.";
    const Row rows[] = {
        {false, 2, 29, ""},
        {false, 2, 30,
         "February has no day 30, so the schedule would never run. Choose a day from 1 to 29, "
         "or every day."},
        {false, 2, 31,
         "February has no day 31, so the schedule would never run. Choose a day from 1 to 29, "
         "or every day."},
        {false, 4, 31, april},
        {false, 6, 31, QString(april).replace("April", "June")},
        {false, 9, 31, QString(april).replace("April", "September")},
        {false, 11, 31, QString(april).replace("April", "November")},
        {false, 12, 31, ""},
        {false, 0, 31, ""},  // every month: the months with a 31st
        {true, 2, 31, ""},   // by weekdays the month and day are not written
    };
    for (const Row& row : rows) {
        Schedule s;
        s.byWeekdays = row.byWeekdays;
        s.month = row.month;
        s.monthDay = row.day;
        EXPECT_EQ(scheduleNeverRunsReason(s), row.reason) << row.month << " " << row.day;
    }
}

TEST(CrontabEntry, EscapedPathsReachTheShellUnchangedAndALinuxPathCarriesTheMarker) {
    EXPECT_EQ(buildDktCommand("/usr/bin/desktidy", "/home/a/my conf", "/home/a/my state").value(),
              "XDG_CONFIG_HOME=/home/a/my\\ conf XDG_STATE_HOME=/home/a/my\\ state "
              "/usr/bin/desktidy 1 >/dev/null 2>&1 # Desktidy.app\n");
    EXPECT_FALSE(buildDktCommand("/tmp/line\nbreak/desktidy").has_value());
    // A tab left bare would split the word under the shell as a space does.
    const QString awkward =
        "/tmp/My  Apps/'quoted' \"double\"\ttab $HOME `x` ;&|()<>*?[]{}~!#=^,\\%20 été/desk";
    const QString escaped = escapeForCrontab(awkward);
    // Cron turns "\%" into "%"; the shell then sees one word.
    EXPECT_FALSE(escaped.contains(QRegularExpression("[^\\\\]%")));
    QProcess sh;
    sh.start("/bin/sh", {"-c", "printf '%s' " + QString(escaped).replace("\\%", "%")});
    sh.waitForFinished();
    EXPECT_EQ(QString::fromUtf8(sh.readAllStandardOutput()), awkward);
}

// Every line but the program's own passes byte for byte; the entry gets a line of its own,
// and scheduling twice leaves one entry.
TEST(CrontabTable, OtherLinesPassByteForByteAndTheEntryKeepsALineOfItsOwn) {
    const QByteArray others =
        "# m h dom mon dow command\nMAILTO=me@example.org\n\n"
        "5 4 * * * /usr/bin/backup --to /média/été\n7 * * * * /bin/echo \xff\xfe not utf-8\n";
    const QByteArray listing = others + "30\t14\t*\t*\t*\t/old/Desktidy.app/x 1 >& /dev/null\n";
    EXPECT_EQ(replaceProgramLines(listing, std::nullopt), others);
    const QByteArray twice =
        replaceProgramLines(replaceProgramLines(listing, QByteArray("E1 Desktidy.app\n")),
                            QByteArray("E2 Desktidy.app\n"));
    EXPECT_EQ(twice, others + "E2 Desktidy.app\n");
    EXPECT_EQ(programLines(twice), QList<QByteArray>({"E2 Desktidy.app"}));

    const QByteArray entry = "E Desktidy.app\n";
    EXPECT_EQ(replaceProgramLines("1 * * * * job", entry), "1 * * * * job\n" + entry);
    EXPECT_EQ(replaceProgramLines("1 * * * * job\nold Desktidy.app", entry),
              "1 * * * * job\n" + entry);
    EXPECT_EQ(replaceProgramLines("", entry), entry);
    EXPECT_EQ(replaceProgramLines("", std::nullopt), "");
}

}  // namespace
