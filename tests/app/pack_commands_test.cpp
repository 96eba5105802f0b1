#include <gtest/gtest.h>

#include <QFile>

#include "app/cli/command_line.h"
#include "support/temp_home.h"

namespace {

// Runs `desktidy ARGS...` in-process with no terminal, as a script would.
class PackCommandsTest : public ::testing::Test {
  protected:
    TempHome home;
    QString out, err;

    int desktidy(const QStringList& arguments) {
        out.clear();
        err.clear();
        QString input;
        QTextStream in(&input), o(&out), e(&err);
        return runCommandLine(QStringList{"desktidy"} + arguments, {in, o, e, false, false});
    }
};

TEST_F(PackCommandsTest, ListEditsAreSavedAtOnceAndBadOnesChangeNothing) {
    writeFile(home / "Documents/Taxes/a.txt", "a");
    makeFolder(home / "Stick");
    ASSERT_EQ(desktidy({"pack-list", "add", home / "Documents/Taxes", home / "Stick/"}), 0);
    for (int twice = 0; twice < 2; ++twice)  // the same row twice gives two rows
        ASSERT_EQ(desktidy({"pack-list", "add", home / "Documents/Taxes/a.txt", home / "Stick"}),
                  0);
    EXPECT_EQ(desktidy({"pack-list", "add", home / "missing", home / "Stick"}), 1);
    EXPECT_EQ(desktidy({"pack-list", "add", home / "Stick", home / "Documents/Taxes/a.txt"}), 1);
    EXPECT_EQ(desktidy({"pack-list", "remove", "1", "4"}), 2);  // all or nothing
    EXPECT_EQ(desktidy({"unpack-list", "reverse"}), 2);
    ASSERT_EQ(desktidy({"pack-list", "reverse"}), 0);
    ASSERT_EQ(desktidy({"pack-list", "remove", "3", "1"}), 0);

    ASSERT_EQ(desktidy({"pack-list"}), 0);  // each run reads what the last one saved
    EXPECT_EQ(out, "1\t" + home / "Documents/Taxes/a.txt\t" + home / "Stick\n");
    ASSERT_EQ(desktidy({"unpack-list", "show"}), 0);
    EXPECT_EQ(out.count(home / "Stick/a.txt\t" + home / "Documents/Taxes\n"), 2);
    EXPECT_TRUE(out.startsWith("1\t" + home / "Stick/Taxes\t" + home / "Documents\n"));

    ASSERT_EQ(desktidy({"unpack-list", "clear"}), 0);  // the one clear empties both lists
    ASSERT_EQ(desktidy({"pack-list"}), 0);
    EXPECT_TRUE(out.isEmpty());
}

TEST_F(PackCommandsTest, PackAsksOrTakesTheDefaultsWithYes) {
    writeFile(home / "Documents/notes.txt", "notes");
    makeFolder(home / "Stick");
    ASSERT_EQ(desktidy({"pack-list", "add", home / "Documents/notes.txt", home / "Stick"}), 0);
    EXPECT_EQ(desktidy({"pack"}), 1);  // no terminal to answer "OK": cancelled
    EXPECT_FALSE(QFile::exists(home / "Stick/notes.txt"));
    EXPECT_EQ(desktidy({"--yes", "pack"}), 0);
    EXPECT_EQ(readFile(home / "Stick/notes.txt"), "notes");

    // A failed row is told, the run goes on with --yes, and the exit status says so.
    QFile::remove(home / "Documents/notes.txt");
    EXPECT_EQ(desktidy({"--yes", "pack"}), 1);
    EXPECT_TRUE(err.contains("No such file or directory")) << err.toStdString();
    EXPECT_TRUE(err.contains("All done packing your files for the road."));
    EXPECT_EQ(readFile(home / "Stick/notes.txt"), "notes");
}

}  // namespace
