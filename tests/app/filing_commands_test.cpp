#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "support/temp_home.h"

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

// Runs the built program from the test's home, with no terminal attached.
Outcome desktidy(const TempHome& home, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(home.path());
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(DESKTIDY_BINARY, arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

TEST(FilingCommands, FileAndUnfileAFolderGivenOnTheCommandLine) {
    TempHome home;
    writeFile(home / "Desk/a.jpg", "a");
    writeFile(home / "Desk/b.txt", "b");
    writeFile(home / "Desk/.hidden.jpg", "h");

    const Outcome filed = desktidy(home, {"--yes", "file", "Desk"});
    EXPECT_EQ(filed.status, 0) << filed.err.toStdString();
    EXPECT_EQ(filed.out, "");
    EXPECT_EQ(namesIn(home / "Desk"), (QStringList{".hidden.jpg", "Images", "Words"}));

    // With no folder given, the stored working folder: the one filed last.
    const Outcome unfiled = desktidy(home, {"--yes", "unfile"});
    EXPECT_EQ(unfiled.status, 0);
    EXPECT_EQ(unfiled.out, "");
    EXPECT_EQ(namesIn(home / "Desk"), (QStringList{".hidden.jpg", "a.jpg", "b.txt"}));
    EXPECT_EQ(desktidy(home, {"--yes", "file", "missing"}).status, 0);
}

TEST(FilingCommands, ListsAndTheArchiveDateAreSavedAtOnce) {
    TempHome home;
    makeFolder(home / "A");
    writeFile(home / "B/old.jpg", "old");
    QFile old(home / "B/old.jpg");
    old.open(QIODevice::ReadWrite);
    old.setFileTime(QDateTime(QDate(2019, 12, 31), QTime(23, 0), Qt::UTC),
                    QFileDevice::FileModificationTime);
    old.close();

    EXPECT_EQ(desktidy(home, {"folders", "add", "A", home / "B"}).status, 0);
    EXPECT_EQ(desktidy(home, {"folders", "remove", "A"}).status, 0);
    EXPECT_EQ(desktidy(home, {"folders"}).out, home / "B\n");

    EXPECT_EQ(desktidy(home, {"types", "add", "image", "Foo", "made", "up"}).status, 0);
    EXPECT_TRUE(desktidy(home, {"types", "image"}).out.contains("\nFoo - made up\n"));
    EXPECT_EQ(desktidy(home, {"types", "remove", "image", "Foo"}).status, 0);
    EXPECT_FALSE(desktidy(home, {"types"}).out.contains("Foo"));

    EXPECT_EQ(desktidy(home, {"archive-date", "2021", "2", "29"}).status, 2);
    EXPECT_EQ(desktidy(home, {"archive-date", "2020", "1"}).status, 0);
    EXPECT_EQ(desktidy(home, {"archive-date"}).out, "2020-01-None\n");
    const Outcome all = desktidy(home, {"--yes", "file", "--all"});
    EXPECT_TRUE(all.err.contains("Done filing all of your files"));
    EXPECT_EQ(readFile(home / "B/Archive/Images/old.jpg"), "old");
}
