#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "support/temp_home.h"

namespace {

// The built program in the test's throw-away home, with no terminal to answer questions.
std::pair<int, QString> desktidy(const QStringList& arguments) {
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(DESKTIDY_BINARY), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(RenameCommand, RenamesTheGivenOrTheStoredFolder) {
    TempHome home;
    writeFile(home / "trip/Beach Photo.JPG");
    auto [status, err] = desktidy({"--yes", "rename", home / "trip", "--replace", "beach", "--with",
                                   "Sea", "--ignore-case", "--prefix", "Trip-", "--prefix-number2",
                                   "--remove-spaces", "--lower"});
    EXPECT_EQ(status, 0) << err.toStdString();
    EXPECT_EQ(namesIn(home / "trip"), QStringList({"trip-0seaphoto.jpg"}));
    EXPECT_TRUE(err.contains("folders in " + home / "trip" + "?\n"));
    EXPECT_TRUE(err.contains("The file and/or folder names have been changed."));

    // The stored working folder starts as the Desktop.
    writeFile(home.desktop() + "/IMG_0042.jpg");
    makeFolder(home.desktop() + "/Scans");
    std::tie(status, err) = desktidy(
        {"--yes", "rename", "--suffix-number", "--suffix", "-x", "--remove-numbers", "--folders"});
    EXPECT_EQ(status, 0) << err.toStdString();
    EXPECT_EQ(namesIn(home.desktop()), QStringList({"IMG_.jpg-x", "Scans-x"}));
    EXPECT_TRUE(
        err.contains("Paths = " + home.desktop() + "/Scans1-x, " + home.desktop() + "/Scans-x\n"));
}

TEST(RenameCommand, ExitStatuses) {
    TempHome home;
    writeFile(home / "f/2010.txt");
    auto [status, err] = desktidy({"--yes", "rename", home / "f", "--remove-numbers"});
    EXPECT_EQ(status, 1);  // an alert ended the run
    EXPECT_TRUE(err.contains("File name cannot begin with a period (.) character."));
    EXPECT_EQ(desktidy({"rename", home / "f", "--upper"}).first, 1);  // nobody to answer
    EXPECT_EQ(desktidy({"--yes", "rename", home / "missing", "--upper"}).first, 1);
    for (const QStringList& wrong : {QStringList{"--with", "x"}, QStringList{"--ignore-case"},
                                     QStringList{"--upper", "--lower"},
                                     QStringList{home / "f", home / "f"}, QStringList{"--prefix"}})
        EXPECT_EQ(desktidy(QStringList{"--yes", "rename"} + wrong).first, 2)
            << wrong.join(' ').toStdString();
    EXPECT_EQ(namesIn(home / "f"), QStringList({"2010.txt"}));
}

}  // namespace
