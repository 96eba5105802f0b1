#include <gtest/gtest.h>

#include <QJsonDocument>

#include "run_desktidy.h"

TEST(PackCommands, ListEditsAreSavedAtOnceAndBadOnesChangeNothing) {
    TempHome home;
    const QString taxes = home / "Documents/Taxes", stick = home / "Stick";
    writeFile(taxes + "/a.txt", "a");
    makeFolder(stick);
    ASSERT_EQ(desktidy({"pack-list", "add", taxes, stick + "/"}).status, 0);
    for (int twice = 0; twice < 2; ++twice)  // the same row twice gives two rows
        ASSERT_EQ(desktidy({"pack-list", "add", taxes + "/a.txt", stick}).status, 0);
    EXPECT_EQ(desktidy({"pack-list", "add", home / "missing", stick}).status, 1);
    EXPECT_EQ(desktidy({"pack-list", "add", stick, taxes + "/a.txt"}).status, 1);
    for (const QStringList& empty : {QStringList{"", stick}, QStringList{taxes, ""}}) {
        const Outcome refused = desktidy(QStringList{"unpack-list", "add"} + empty);
        EXPECT_EQ(refused.status, 2);  // not taken as the current folder
        EXPECT_EQ(refused.err,
                  "desktidy unpack-list: SRC and DEST must not be empty\nUsage: "
                  "desktidy unpack-list [show | add SRC DEST | remove N... | clear]\n");
    }
    EXPECT_EQ(desktidy({"pack-list", "remove", "1", "4"}).status, 2);  // all or nothing
    EXPECT_EQ(desktidy({"unpack-list", "reverse"}).status, 2);
    ASSERT_EQ(desktidy({"pack-list", "reverse"}).status, 0);
    ASSERT_EQ(desktidy({"pack-list", "remove", "3", "1"}).status, 0);

    // Each run reads what the last one saved.
    EXPECT_EQ(desktidy({"pack-list"}).out, "1\t" + taxes + "/a.txt\t" + stick + "\n");
    const QString unpack = desktidy({"unpack-list", "show"}).out;
    EXPECT_EQ(unpack.count(stick + "/a.txt\t" + taxes + "\n"), 2);
    EXPECT_TRUE(unpack.startsWith("1\t" + stick + "/Taxes\t" + home / "Documents\n"));
    ASSERT_EQ(desktidy({"unpack-list", "clear"}).status, 0);  // the one clear empties both
    EXPECT_TRUE(desktidy({"pack-list"}).out.isEmpty());
}

TEST(PackCommands, PackAsksOrTakesTheDefaultsWithYes) {
    TempHome home;
    writeFile(home / "Documents/notes.txt", "notes");
    makeFolder(home / "Stick");
    ASSERT_EQ(desktidy({"pack-list", "add", home / "Documents/notes.txt", home / "Stick"}).status,
              0);
    EXPECT_EQ(desktidy({"pack"}).status, 1);  // no terminal to answer "OK": cancelled
    EXPECT_FALSE(QFile::exists(home / "Stick/notes.txt"));
    EXPECT_EQ(desktidy({"--yes", "pack"}).status, 0);
    EXPECT_EQ(readFile(home / "Stick/notes.txt"), "notes");

    // The preview marks a copy that replaces what is there.
    const QJsonDocument plan =
        QJsonDocument::fromJson(desktidy({"--json", "--dry-run", "pack"}).out.toUtf8());
    EXPECT_EQ(plan["steps"][0]["to"].toString(), home / "Stick/notes.txt");
    EXPECT_TRUE(plan["steps"][0]["replaces"].toBool());

    // A failed row is told, the run goes on with --yes, and the exit status and result say so.
    QFile::remove(home / "Documents/notes.txt");
    const Outcome failed = desktidy({"--yes", "--json", "pack"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(QJsonDocument::fromJson(failed.out.toUtf8())["result"].toString(),
              "Nothing was packed. 1 not copied: 1 failed.");
    EXPECT_TRUE(failed.err.contains("No such file or directory")) << failed.err.toStdString();
    EXPECT_TRUE(failed.err.endsWith("1 item was not copied.\n")) << failed.err.toStdString();
    EXPECT_EQ(readFile(home / "Stick/notes.txt"), "notes");
}
