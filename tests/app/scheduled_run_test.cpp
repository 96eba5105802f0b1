#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>

#include "support/temp_home.h"

namespace {

// A stand-in for /usr/bin/crontab that keeps the table in a file beside it.
QString writeFakeCrontab(const TempHome& home) {
    const QString tool = home / "bin/crontab";
    writeFile(tool,
              "#!/bin/sh\n"
              "table=\"$(dirname \"$0\")/table\"\n"
              "case \"$1\" in\n"
              "  -l) [ -f \"$table\" ] || { echo \"no crontab for $USER\" >&2; exit 1; }; cat "
              "\"$table\" ;;\n"
              "  -) cat > \"$table\" ;;\n"
              "esac\n");
    QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner);
    return tool;
}

int run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env,
        QString* err = nullptr) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    if (err) *err = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Cron's minimal environment, nothing of the session's.
QProcessEnvironment cronEnvironment(const TempHome& home) {
    QProcessEnvironment env;
    env.insert("HOME", home.path());
    env.insert("LOGNAME", "tester");
    env.insert("SHELL", "/bin/sh");
    env.insert("PATH", "/usr/bin:/bin");
    return env;
}

// The command field of the program's line, as cron hands it to the shell.
QString jobCommand(const TempHome& home) {
    for (const QByteArray& line : readFile(home / "bin/table").split('\n')) {
        if (!line.contains("Desktidy.app")) continue;
        QString command = QString::fromUtf8(line.split('\t').value(5));
        return command.replace("\\%", "%");
    }
    return {};
}

struct ScheduledRunTest : ::testing::TestWithParam<bool> {};

TEST_P(ScheduledRunTest, TheWrittenJobRunsUnderCronAndFilesTheListedFolders) {
    const bool customConfigHome = GetParam();
    TempHome home;
    // The program installed under an awkward path.
    const QString appDir = home / "My Apps 'q' \"d\" $HOME %x ü";
    QDir().mkpath(appDir);
    const QString program = appDir + "/desktidy";
    ASSERT_TRUE(QFile::link(DESKTIDY_BINARY, program));

    QProcessEnvironment session = QProcessEnvironment::systemEnvironment();
    session.insert("HOME", home.path());
    session.insert("DESKTIDY_CRONTAB", writeFakeCrontab(home));
    const QString configHome = customConfigHome ? home / "elsewhere config" : home / ".config";
    session.insert("XDG_CONFIG_HOME", configHome);
    // The history too: the scheduled run's record must land where this session looks.
    const QString stateHome = customConfigHome ? home / "elsewhere state" : home / ".local/state";
    session.insert("XDG_STATE_HOME", stateHome);

    const QString folder = home / "Loose Things";
    writeFile(folder + "/notes.txt", "words");
    writeFile(folder + "/photo.jpg", "pixels");
    ASSERT_EQ(run(program, {"settings"}, session), 0);
    {
        QSettings stored(configHome + "/Desktidy/Desktidy.conf", QSettings::IniFormat);
        stored.setValue("myfolders", QStringList{folder});
    }
    QString err;
    ASSERT_EQ(run(program, {"schedule", "--at", "14:30", "--days", "all"}, session, &err), 0)
        << err.toStdString();
    // The line's text is the crontab tests'; here it must run, from the awkward path, as
    // cron runs it.
    const QString command = jobCommand(home);
    ASSERT_TRUE(command.contains("/My\\ Apps\\ ")) << command.toStdString();
    EXPECT_EQ(run("/bin/sh", {"-c", command}, cronEnvironment(home)), 0);
    EXPECT_EQ(readFile(folder + "/Words/notes.txt"), "words");
    EXPECT_EQ(readFile(folder + "/Images/photo.jpg"), "pixels");
    EXPECT_TRUE(readFile(stateHome + "/Desktidy/history/1.run").contains("\nkind scheduled\n"));
}

INSTANTIATE_TEST_SUITE_P(SettingsFolder, ScheduledRunTest, ::testing::Values(false, true));

// A schedule left behind with no folder listed (the list emptied, the settings reset by
// hand) must not pass for a run that filed everything.
TEST(ScheduledRun, WithNoFolderListedSaysSoAndFilesNothing) {
    TempHome home;
    writeFile(home / "Desktop/notes.txt", "words");
    QString err;
    EXPECT_EQ(run(DESKTIDY_BINARY, {"1"}, cronEnvironment(home), &err), 0);
    EXPECT_EQ(err.toStdString(),
              "desktidy: the scheduled run found no folders listed, so it filed nothing. List "
              "folders with \u201cdesktidy folders add FOLDER...\u201d or in the window's Setup, "
              "or take the schedule out with \u201cdesktidy schedule --remove\u201d.\n");
    EXPECT_EQ(readFile(home / "Desktop/notes.txt"), "words");
}

}  // namespace
