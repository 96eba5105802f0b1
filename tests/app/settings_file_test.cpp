#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>

#include "run_desktidy.h"

namespace {

struct timespec modificationTime(const QString& file) {
    struct stat st {};
    ::stat(QFile::encodeName(file).constData(), &st);
    return st.st_mtim;
}

// A settings file with one damaged key (an empty folder list) among good ones. Commands
// that only read or plan leave the file byte for byte and untouched; each says once
// that the key is left out. The first command that changes a setting keeps the damaged
// line in the side file, then writes the defaults in its place and keeps the rest.
TEST(SettingsFile, CommandsThatOnlyReadOrPlanLeaveItAsItIs) {
    TempHome home;
    writeFile(home / "Desktop/notes.txt", "n");
    makeFolder(home / "Desktop/more");
    const QString app = writeAppBundle(home / "Applications/Zorblax.app", "org.x.zorblax");
    writeFile(home / ".config/zorblax/state");
    const QString file = home.configFile();
    const QByteArray contents =
        "[General]\nfolders=\nmyfolders=" + QFile::encodeName(home.desktop()) +
        "\npackFrom=/home/a/notes\npackTo=/media/stick\n"
        "archMonth=03\narchDay=14\narchYear=2011\n";
    writeFile(file, contents);
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), old, 0), 0);
    const QString notice = "desktidy: The setting “folders” in “" + file +
                           "” could not be read and is left out; the other settings are kept. "
                           "Its line goes to “" +
                           file + ".set-aside” before the file is next written.\n";

    const QStringList commands[] = {
        {"settings", "show"},
        {"history"},
        {"trash"},
        {"remove-app", app},
        {"folders"},
        {"types", "image"},
        {"pack-list"},
        {"unpack-list"},
        {"--dry-run", "file", home.desktop()},
        {"--dry-run", "file", "--all"},
        {"--dry-run", "pack"},
        {"--dry-run", "remove-app", app},
    };
    for (const QStringList& command : commands) {
        const Outcome outcome = desktidy(command);
        SCOPED_TRACE(command.join(' ').toStdString() + "\n" + outcome.err.toStdString());
        EXPECT_TRUE(outcome.err.startsWith(notice));
        EXPECT_EQ(outcome.err.count("could not be read"), 1);
        EXPECT_EQ(QString(readFile(file)), QString(contents));
        EXPECT_EQ(modificationTime(file).tv_sec, 1000000000);
        if (command.first() == "settings") {
            EXPECT_TRUE(outcome.out.contains("\nmyfolders:\n  " + home.desktop() + "\n") &&
                        outcome.out.contains("\narchYear: 2011\n") &&
                        outcome.out.contains("\n  Images\n"))
                << outcome.out.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(file + ".set-aside"));

    const Outcome added = desktidy({"folders", "add", home / "Desktop/more"});
    EXPECT_EQ(added.err, notice);
    EXPECT_EQ(QString(readFile(file + ".set-aside")).section('\n', 1), "folders=\n");
    const Outcome shown = desktidy({"settings", "show"});
    EXPECT_EQ(shown.err, "");
    EXPECT_TRUE(shown.out.startsWith("folders:\n  Archive\n  Audio\n")) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains("\nmyfolders:\n  " + home.desktop() + "\n  " + home.desktop() +
                                   "/more\n"))
        << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains("\npackTo:\n  /media/stick\n"));
    EXPECT_TRUE(shown.out.contains("\narchMonth: 03\n"));
}

}  // namespace
