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
    QString row(int n, const QString& from, const QString& to) {
        return QStringLiteral("%1\t%2\t%3\n").arg(n).arg(from, to);
    }
};

TEST_F(PackCommandsTest, ListEditsAreSavedAtOnce) {
    const QString taxes = writeFile(home / "Documents/Taxes/a.txt", "a");
    makeFolder(home / "Stick");
    ASSERT_EQ(desktidy({"pack-list", "add", home / "Documents/Taxes", home / "Stick"}), 0);
    ASSERT_EQ(desktidy({"pack-list", "add", home / "Documents/Taxes/a.txt", home / "Stick/"}), 0);
    ASSERT_EQ(desktidy({"pack-list"}), 0);  // a new process reads what the last one saved
    EXPECT_EQ(out, row(1, home / "Documents/Taxes", home / "Stick") +
                       row(2, home / "Documents/Taxes/a.txt", home / "Stick"));

    ASSERT_EQ(desktidy({"pack-list", "reverse"}), 0);
    ASSERT_EQ(desktidy({"unpack-list", "show"}), 0);
    EXPECT_EQ(out, row(1, home / "Stick/Taxes", home / "Documents") +
                       row(2, home / "Stick/a.txt", home / "Documents/Taxes"));

    ASSERT_EQ(desktidy({"unpack-list", "remove", "1"}), 0);
    ASSERT_EQ(desktidy({"unpack-list"}), 0);
    EXPECT_EQ(out, row(1, home / "Stick/a.txt", home / "Documents/Taxes"));

    ASSERT_EQ(desktidy({"unpack-list", "clear"}), 0);  // the one clear empties both lists
    ASSERT_EQ(desktidy({"pack-list"}), 0);
    EXPECT_TRUE(out.isEmpty());
}

TEST_F(PackCommandsTest, BadArgumentsChangeNothing) {
    writeFile(home / "file.txt");
    makeFolder(home / "Stick");
    ASSERT_EQ(desktidy({"pack-list", "add", home / "file.txt", home / "Stick"}), 0);
    EXPECT_EQ(desktidy({"pack-list", "remove", "2"}), 2);
    EXPECT_EQ(desktidy({"pack-list", "remove", "1", "x"}), 2);
    EXPECT_EQ(desktidy({"pack-list", "add", home / "missing", home / "Stick"}), 1);
    EXPECT_EQ(desktidy({"pack-list", "add", home / "file.txt", home / "file.txt"}), 1);
    EXPECT_EQ(desktidy({"pack-list", "add", home / "file.txt"}), 2);
    EXPECT_EQ(desktidy({"unpack-list", "reverse"}), 2);
    EXPECT_EQ(desktidy({"pack", "extra"}), 2);
    ASSERT_EQ(desktidy({"pack-list"}), 0);
    EXPECT_EQ(out, row(1, home / "file.txt", home / "Stick"));
}

TEST_F(PackCommandsTest, PackAsksOrTakesTheDefaultsWithYes) {
    writeFile(home / "Documents/notes.txt", "notes");
    makeFolder(home / "Stick");
    ASSERT_EQ(desktidy({"pack-list", "add", home / "Documents/notes.txt", home / "Stick"}), 0);

    EXPECT_EQ(desktidy({"pack"}), 1);  // no terminal to answer "OK": cancelled
    EXPECT_FALSE(QFile::exists(home / "Stick/notes.txt"));

    EXPECT_EQ(desktidy({"--yes", "pack"}), 0);
    EXPECT_EQ(readFile(home / "Stick/notes.txt"), "notes");
    EXPECT_TRUE(err.contains("All done packing your files for the road.")) << err.toStdString();

    // A failed row is told, the run goes on with --yes, and the exit status says so.
    QFile::remove(home / "Documents/notes.txt");
    EXPECT_EQ(desktidy({"--yes", "pack"}), 1);
    EXPECT_TRUE(err.contains("No such file or directory")) << err.toStdString();
    EXPECT_EQ(readFile(home / "Stick/notes.txt"), "notes");
}

}  // namespace
