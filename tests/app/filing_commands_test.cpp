#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "run_desktidy.h"

// Path arguments are bytes: a folder whose path is not UTF-8 is filed and unfiled as
// itself, but the lists of the settings, which are text, refuse it.
TEST(FilingCommands, AFolderArgumentIsTakenByItsBytes) {
    TempHome home;
    const QByteArray desk = QFile::encodeName(home.path()) + "/Desk\xff";
    ASSERT_EQ(::mkdir(desk, 0755), 0);
    ASSERT_GE(::close(::creat(desk + "/a.jpg", 0644)), 0);
    const Outcome filed = desktidyRaw("--yes file \"$(printf 'Desk\\377')\"", home.path());
    EXPECT_EQ(filed.status, 0) << filed.err.toStdString();
    EXPECT_EQ(::access(desk + "/Images/a.jpg", F_OK), 0);
    EXPECT_TRUE(desktidy({"settings"}).out.contains("\npathString: " + home / "Desktop\n"));
    EXPECT_EQ(desktidyRaw("--yes unfile \"$(printf 'Desk\\377')\"", home.path()).status, 0);
    EXPECT_EQ(::access(desk + "/a.jpg", F_OK), 0);

    const Outcome listed = desktidyRaw("folders add \"$(printf 'Desk\\377')\"", home.path());
    EXPECT_EQ(listed.status, 2);
    EXPECT_EQ(listed.err, "desktidy folders: \u201c" + home / "Desk\\xFF" +
                              "\u201d is not UTF-8 text, which the folder list is kept as\n");
    const Outcome packed =
        desktidyRaw("pack-list add \"$(printf 'Desk\\377')\" " + home.path(), home.path());
    EXPECT_EQ(packed.status, 2);
    EXPECT_EQ(desktidy({"folders"}).out + desktidy({"pack-list"}).out, "");
}

TEST(FilingCommands, FileUnfileAndTheListsAndArchiveDateSavedAtOnce) {
    TempHome home;
    writeFile(home / "Desk/a.jpg", "a");
    writeFile(home / "Desk/b.txt", "b");
    writeFile(home / "Desk/.hidden.jpg", "h");
    const Outcome filed = desktidy({"--yes", "file", "Desk"}, home.path());
    EXPECT_EQ(filed.status, 0) << filed.err.toStdString();
    EXPECT_EQ(filed.out, "");
    EXPECT_EQ(namesIn(home / "Desk"), (QStringList{".hidden.jpg", "Images", "Words"}));
    // With no folder given, the stored working folder: the one filed last.
    EXPECT_EQ(desktidy({"--yes", "unfile"}).status, 0);
    EXPECT_EQ(namesIn(home / "Desk"), (QStringList{".hidden.jpg", "a.jpg", "b.txt"}));
    // A folder that is not there is refused and not kept as the working folder.
    const Outcome missing = desktidy({"--yes", "file", "missing"}, home.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "desktidy: The folder " + home / "missing" + " does not exist.\n");
    EXPECT_TRUE(desktidy({"settings"}).out.contains("\npathString: " + home / "Desk" + "\n"));

    writeFile(home / "B/old.jpg", "old");
    QFile old(home / "B/old.jpg");
    old.open(QIODevice::ReadWrite);
    old.setFileTime(QDateTime(QDate(2019, 12, 31), QTime(23, 0), Qt::UTC),
                    QFileDevice::FileModificationTime);
    old.close();
    EXPECT_EQ(desktidy({"folders", "add", "Desk", home / "B"}, home.path()).status, 0);
    EXPECT_EQ(desktidy({"folders", "remove", "Desk"}, home.path()).status, 0);
    EXPECT_EQ(desktidy({"folders"}).out, home / "B\n");
    EXPECT_EQ(desktidy({"types", "add", "image", "Foo", "made", "up"}).status, 0);
    EXPECT_TRUE(desktidy({"types", "image"}).out.contains("\nFoo - made up\n"));
    EXPECT_EQ(desktidy({"types", "remove", "image", "Foo"}).status, 0);
    EXPECT_FALSE(desktidy({"types"}).out.contains("Foo"));

    EXPECT_EQ(desktidy({"archive-date", "2021", "2", "29"}).status, 2);
    EXPECT_EQ(desktidy({"archive-date", "2020", "1"}).status, 0);
    EXPECT_EQ(desktidy({"archive-date"}).out, "2020-01-None\n");
    const Outcome all = desktidy({"--yes", "file", "--all"});
    EXPECT_EQ(std::make_pair(all.status, all.out), std::make_pair(0, QString()));
    EXPECT_EQ(all.err,
              "File all of these files?: Desktidy will file all of the files located in all of "
              "the directories that are listed in the Desktidy Folders Setup.  You can always "
              "undo this by choosing Unfile All Stashery... from the File menu.\n(OK)\n"
              "Done filing all of your files\n");
    EXPECT_EQ(readFile(home / "B/Archive/Images/old.jpg"), "old");
}
