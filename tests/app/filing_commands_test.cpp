#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "support/temp_home.h"

namespace {

struct ProgramRun {
    int status = -1;
    QString out, err;
};

// Runs the built program in the test's home, with no terminal attached.
ProgramRun desktidy(const TempHome& home, const QStringList& arguments) {
    QProcess process;
    process.setProgram(DESKTIDY_BINARY);
    process.setArguments(arguments);
    process.setWorkingDirectory(home.path());
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

}  // namespace

TEST(FilingCommands, FileAndUnfileAFolderGivenOnTheCommandLine) {
    TempHome home;
    writeFile(home / "Desk/a.jpg", "a");
    writeFile(home / "Desk/b.txt", "b");
    writeFile(home / "Desk/.hidden.jpg", "h");

    // No terminal to answer: the question counts as Cancel and nothing moves.
    ProgramRun cancelled = desktidy(home, {"file", "Desk"});
    EXPECT_EQ(cancelled.status, 1);
    EXPECT_EQ(namesIn(home / "Desk"), (QStringList{".hidden.jpg", "a.jpg", "b.txt"}));

    ProgramRun filed = desktidy(home, {"--yes", "file", "Desk"});
    EXPECT_EQ(filed.status, 0) << filed.err.toStdString();
    EXPECT_EQ(filed.out, "");
    EXPECT_EQ(namesIn(home / "Desk"), (QStringList{".hidden.jpg", "Images", "Words"}));
    EXPECT_EQ(readFile(home / "Desk/Images/a.jpg"), "a");
    EXPECT_TRUE(desktidy(home, {"settings"}).out.contains("pathString: " + home / "Desk\n"));

    // Without a folder, the stored working folder: the one filed last.
    ProgramRun unfiled = desktidy(home, {"--yes", "unfile"});
    EXPECT_EQ(unfiled.status, 0);
    EXPECT_EQ(unfiled.out, "");
    EXPECT_EQ(namesIn(home / "Desk"), (QStringList{".hidden.jpg", "a.jpg", "b.txt"}));
}

TEST(FilingCommands, ListsAndTheArchiveDateAreSavedAtOnce) {
    TempHome home;
    makeFolder(home / "A");
    writeFile(home / "B/old.jpg", "old");
    const timespec lastDayOf2019[2] = {{1577750400, 0}, {1577750400, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(home / "B/old.jpg").constData(), lastDayOf2019, 0);

    EXPECT_EQ(desktidy(home, {"folders", "add", "A", home / "B"}).status, 0);
    EXPECT_EQ(desktidy(home, {"folders", "add", "no-such-folder"}).status, 1);
    EXPECT_EQ(desktidy(home, {"folders", "remove", "A"}).status, 0);
    EXPECT_EQ(desktidy(home, {"folders"}).out, home / "B\n");

    EXPECT_EQ(desktidy(home, {"types", "add", "image", "Foo", "made", "up"}).status, 0);
    EXPECT_TRUE(desktidy(home, {"types", "image"}).out.contains("\nFoo - made up\n"));
    EXPECT_EQ(desktidy(home, {"types", "remove", "image", "Foo"}).status, 0);
    EXPECT_FALSE(desktidy(home, {"types"}).out.contains("Foo"));
    EXPECT_EQ(desktidy(home, {"types", "add", "image", "two words"}).status, 2);
    EXPECT_EQ(desktidy(home, {"types", "sounds"}).status, 2);

    EXPECT_EQ(desktidy(home, {"archive-date", "2021", "2", "29"}).status, 2);
    EXPECT_EQ(desktidy(home, {"archive-date", "2019", "12", "31"}).status, 0);
    EXPECT_EQ(desktidy(home, {"archive-date"}).out, "2019-12-31\n");

    ProgramRun all = desktidy(home, {"--yes", "file", "--all"});
    EXPECT_EQ(all.status, 0);
    EXPECT_TRUE(all.err.contains("Done filing all of your files"));
    EXPECT_EQ(readFile(home / "B/Archive/Images/old.jpg"), "old");

    EXPECT_EQ(desktidy(home, {"archive-date", "none"}).status, 0);
    EXPECT_EQ(desktidy(home, {"archive-date"}).out, "None\n");
}
