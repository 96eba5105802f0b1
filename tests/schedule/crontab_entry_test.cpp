#include "schedule/crontab_entry.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

namespace {

const QString bundleExecutable = "/Applications/Desktidy.app/Contents/MacOS/Desktidy";

// Every day off, then the weekdays Sunday to Saturday.
ScheduleDays days(std::array<bool, 7> weekdays, bool everyDay = false) {
    return ScheduleDays{everyDay, weekdays};
}

Schedule exampleA() {
    Schedule f;
    f.setTimeOfDay(QTime(14, 30));
    f.byWeekdays = true;
    f.days = days({1, 1, 0, 1, 0, 0, 0});
    return f;
}

Schedule exampleB() {
    Schedule f = exampleA();  // its time of day is not used every N hours
    f.everyNHours = true;
    f.hoursStep = 3;
    f.byWeekdays = false;
    f.month = 0;
    f.monthDay = 15;
    return f;
}

TEST(CrontabEntry, TheTwoWorkedExamplesGiveTheirLines) {
    const QString command = buildDktCommand(bundleExecutable).value();
    EXPECT_EQ(command, bundleExecutable + " 1 >/dev/null 2>&1\n");
    EXPECT_EQ(crontabEntry(exampleA(), command),
              "30\t14\t*\t*\t7,1,3\t/Applications/Desktidy.app/Contents/MacOS/Desktidy 1 "
              ">/dev/null 2>&1\n");
    EXPECT_EQ(
        crontabEntry(exampleB(), command),
        "0\t*/3\t15\t*\t*\t/Applications/Desktidy.app/Contents/MacOS/Desktidy 1 >/dev/null 2>&1\n");
}

TEST(CrontabEntry, WeekdayAndMonthFieldsFollowTheMode) {
    Schedule f = exampleA();
    f.month = 4;
    f.monthDay = 9;
    EXPECT_TRUE(crontabEntry(f, "x\n").startsWith("30\t14\t*\t*\t7,1,3\t"));  // pop-ups unused
    f.days = days({});
    EXPECT_TRUE(crontabEntry(f, "x\n").startsWith("30\t14\t*\t*\t*\t"));
    f.days = days({1, 1, 1, 1, 1, 1, 1});
    EXPECT_TRUE(crontabEntry(f, "x\n").startsWith("30\t14\t*\t*\t7,1,2,3,4,5,6\t"));
    f.days = days({0, 1, 0, 0, 0, 0, 0}, true);
    EXPECT_TRUE(crontabEntry(f, "x\n").startsWith("30\t14\t*\t*\t*\t"));
    f.byWeekdays = false;
    f.days = days({1, 1, 0, 0, 0, 0, 0});
    EXPECT_TRUE(crontabEntry(f, "x\n").startsWith("30\t14\t9\t4\t*\t"));
    f.everyNHours = true;
    EXPECT_TRUE(crontabEntry(f, "x\n").startsWith("0\t*/2\t9\t4\t*\t"));
}

TEST(CrontabEntry, SpacesAreEscapedAndALinuxPathCarriesTheMarker) {
    const QString command =
        buildDktCommand("/Users/someone/My  Apps/Desktidy.app/Contents/MacOS/Desktidy").value();
    EXPECT_TRUE(command.startsWith("/Users/someone/My\\ \\ Apps/Desktidy.app/"));
    EXPECT_FALSE(command.contains("#"));

    EXPECT_EQ(buildDktCommand("/usr/bin/desktidy").value(),
              "/usr/bin/desktidy 1 >/dev/null 2>&1 # Desktidy.app\n");
    EXPECT_EQ(
        buildDktCommand("/usr/bin/desktidy", "/home/a/my conf").value(),
        "XDG_CONFIG_HOME=/home/a/my\\ conf /usr/bin/desktidy 1 >/dev/null 2>&1 # Desktidy.app\n");
    EXPECT_FALSE(buildDktCommand("/tmp/line\nbreak/desktidy").has_value());
}

TEST(CrontabEntry, EscapedPathsReachTheShellUnchanged) {
    // A tab left bare would split the word under the shell as a space does.
    const QString awkward =
        "/tmp/My Apps/'quoted' \"double\"\ttab $HOME `x` ;&|()<>*?[]{}~!#=^,\\%20 été/desk";
    const QString escaped = escapeForCrontab(awkward);
    // Cron turns "\%" into "%"; the shell then sees one word.
    QString asCronRunsIt = escaped;
    asCronRunsIt.replace("\\%", "%");
    QProcess sh;
    sh.start("/bin/sh", {"-c", "printf '%s' " + asCronRunsIt});
    sh.waitForFinished();
    EXPECT_EQ(QString::fromUtf8(sh.readAllStandardOutput()), awkward);
    EXPECT_FALSE(escaped.contains(QRegularExpression("[^\\\\]%")));
}

TEST(CrontabTable, OtherLinesPassByteForByte) {
    const QByteArray others =
        "# m h dom mon dow command\n"
        "MAILTO=me@example.org\n"
        "\n"
        "5 4 * * * /usr/bin/backup --to /média/été\n"
        "7 * * * * /bin/echo \xff\xfe not utf-8\n";
    const QByteArray listing = others + "30\t14\t*\t*\t*\t/old/Desktidy.app/x 1 >& /dev/null\n";
    EXPECT_EQ(replaceProgramLines(listing, std::nullopt), others);
    EXPECT_EQ(replaceProgramLines(listing, QByteArray("ENTRY Desktidy.app\n")),
              others + "ENTRY Desktidy.app\n");
    // Scheduling twice leaves one entry.
    const QByteArray twice =
        replaceProgramLines(replaceProgramLines(listing, QByteArray("E1 Desktidy.app\n")),
                            QByteArray("E2 Desktidy.app\n"));
    EXPECT_EQ(twice, others + "E2 Desktidy.app\n");
    EXPECT_EQ(programLines(twice), QList<QByteArray>({"E2 Desktidy.app"}));
}

TEST(CrontabTable, TheEntryNeverJoinsALastLineWithoutALineBreak) {
    EXPECT_EQ(replaceProgramLines("1 * * * * job", QByteArray("E Desktidy.app\n")),
              "1 * * * * job\nE Desktidy.app\n");
    EXPECT_EQ(
        replaceProgramLines("1 * * * * job\nold Desktidy.app", QByteArray("E Desktidy.app\n")),
        "1 * * * * job\nE Desktidy.app\n");
    EXPECT_EQ(replaceProgramLines("", QByteArray("E Desktidy.app\n")), "E Desktidy.app\n");
    EXPECT_EQ(replaceProgramLines("", std::nullopt), "");
}

}  // namespace
