#include <gtest/gtest.h>

#include <QFileInfo>
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
    // Rows a run would refuse are refused now, with the reason: the root, whose copy
    // would be the destination itself, and a copy that would replace the home's folder.
    makeFolder(home / "elsewhere/" + QFileInfo(home.path()).fileName());
    const QString homeFolder = QFileInfo(home.path()).path();
    const QList<std::pair<QStringList, QString>> refusals = {
        {{"/", stick},
         "\u201c/\u201d cannot be listed to be copied to \u201c" + stick +
             "\u201d: it does not name a file or folder."},
        {{home / "elsewhere/" + QFileInfo(home.path()).fileName(), homeFolder},
         "\u201c" + home / "elsewhere/" + QFileInfo(home.path()).fileName() +
             "\u201d cannot be listed to be copied to \u201c" + homeFolder +
             "\u201d: the copy would replace \u201c" + home.path() +
             "\u201d, which is or holds your home folder."}};
    for (const auto& [row, why] : refusals) {
        const Outcome refused = desktidy(QStringList{"pack-list", "add"} + row);
        EXPECT_EQ(std::make_pair(refused.status, refused.err),
                  std::make_pair(2, "desktidy: " + why + "\n"));
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

    // A row whose source is gone is told by name, the run goes on with --yes, and the exit
    // status and result say so.
    QFile::remove(home / "Documents/notes.txt");
    const Outcome failed = desktidy({"--yes", "--json", "pack"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(QJsonDocument::fromJson(failed.out.toUtf8())["result"].toString(),
              "Nothing was packed. 1 not copied: 1 missing.");
    EXPECT_TRUE(failed.err.contains("desktidy: \u201c" + home / "Documents/notes.txt" +
                                    "\u201d was not copied to \u201c" + home / "Stick" +
                                    "\u201d: it does not exist.\n"))
        << failed.err.toStdString();
    EXPECT_TRUE(failed.err.endsWith("1 item was not copied.\n")) << failed.err.toStdString();
    EXPECT_EQ(readFile(home / "Stick/notes.txt"), "notes");
}
