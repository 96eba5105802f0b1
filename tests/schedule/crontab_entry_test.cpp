#include "schedule/crontab_entry.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

namespace {

// The time, weekday and month fields follow the mode: by weekdays (none, or every day,
// is "*"; the month pop-ups unused) or by month day; every N hours ignores the time.
TEST(CrontabEntry, FieldsFollowTheMode) {
    const QString command = buildDktCommand("/Apps/Desktidy.app/Contents/MacOS/Desktidy").value();
    EXPECT_EQ(command, "/Apps/Desktidy.app/Contents/MacOS/Desktidy 1 >/dev/null 2>&1\n");
    struct Row {
        bool byWeekdays, everyNHours, everyDay;
        std::array<bool, 7> weekdays;  // Sunday to Saturday
        int month;                     // 0: every month
        const char* fields;
    };
    const Row rows[] = {
        {true, false, false, {1, 1, 0, 1}, 4, "30\t14\t*\t*\t7,1,3\t"},
        {true, false, false, {}, 4, "30\t14\t*\t*\t*\t"},
        {true, false, false, {1, 1, 1, 1, 1, 1, 1}, 4, "30\t14\t*\t*\t7,1,2,3,4,5,6\t"},
        {true, false, true, {0, 1}, 4, "30\t14\t*\t*\t*\t"},
        {false, false, false, {1, 1}, 4, "30\t14\t9\t4\t*\t"},
        {false, true, false, {1, 1}, 0, "0\t*/3\t9\t*\t*\t"},
    };
    for (const Row& row : rows) {
        Schedule s;
        s.setTimeOfDay(QTime(14, 30));
        s.byWeekdays = row.byWeekdays;
        s.everyNHours = row.everyNHours;
        s.hoursStep = 3;
        s.days = ScheduleDays{row.everyDay, row.weekdays};
        s.month = row.month;
        s.monthDay = 9;
        EXPECT_EQ(crontabEntry(s, command), row.fields + command) << row.fields;
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
