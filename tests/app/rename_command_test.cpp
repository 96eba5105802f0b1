#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "support/temp_home.h"

namespace {

// Runs the built program in a throw-away home, with no terminal to answer questions.
struct Outcome {
    int status = -1;
    QString err;
};

Outcome desktidy(const QStringList& arguments) {
    QProcess process;
    process.setProgram(QStringLiteral(DESKTIDY_BINARY));
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(RenameCommand, RenamesTheGivenFolderByEveryRuleInOrder) {
    TempHome home;
    const QString folder = home / "trip";
    writeFile(folder + "/beach notes.txt");
    writeFile(folder + "/Beach Photo.JPG");
    makeFolder(folder + "/Old Trips");

    const Outcome outcome =
        desktidy({"--yes", "rename", folder, "--replace", "beach", "--with", "Sea", "--ignore-case",
                  "--prefix", "Trip-", "--prefix-number2", "--remove-spaces", "--lower"});

    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_EQ(namesIn(folder),
              QStringList({"Old Trips", "trip-0seanotes.txt", "trip-1seaphoto.jpg"}));
    EXPECT_TRUE(
        outcome.err.contains("Do you want to change the names of all of the files "
                             "and/or folders in " +
                             folder + "?"));
    EXPECT_TRUE(outcome.err.contains("The file and/or folder names have been changed."));
}

TEST(RenameCommand, WorksOnTheStoredFolderAndLogsDigitRemovals) {
    TempHome home;  // the stored working folder starts as the Desktop
    writeFile(home.desktop() + "/IMG_0042.jpg");
    makeFolder(home.desktop() + "/Scans");

    const Outcome outcome = desktidy(
        {"--yes", "rename", "--suffix-number", "--suffix", "-x", "--remove-numbers", "--folders"});

    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_EQ(namesIn(home.desktop()), QStringList({"IMG_.jpg-x", "Scans-x"}));
    EXPECT_TRUE(outcome.err.contains("Paths = " + home.desktop() + "/Scans1-x, " + home.desktop() +
                                     "/Scans-x\n"));
}

TEST(RenameCommand, ExitsWithOneWhenAnAlertEndsTheRunOrNobodyAnswers) {
    TempHome home;
    const QString folder = home / "numbers";
    writeFile(folder + "/2010.txt");

    Outcome outcome = desktidy({"--yes", "rename", folder, "--remove-numbers"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_TRUE(outcome.err.contains("File name cannot begin with a period (.) character."));
    EXPECT_FALSE(outcome.err.contains("have been changed"));

    outcome = desktidy({"rename", folder, "--upper"});  // no terminal: taken as Cancel
    EXPECT_EQ(outcome.status, 1);

    outcome = desktidy({"--yes", "rename", home / "missing", "--upper"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_TRUE(outcome.err.contains("is not a folder"));
    EXPECT_EQ(namesIn(folder), QStringList({"2010.txt"}));
}

TEST(RenameCommand, RefusesContradictoryOptions) {
    TempHome home;
    makeFolder(home / "f");
    for (const QStringList& wrong :
         {QStringList{"--with", "x"}, QStringList{"--ignore-case"},
          QStringList{"--upper", "--lower"}, QStringList{home / "f", home / "f"},
          QStringList{"--prefix"}, QStringList{"--sideways"}}) {
        EXPECT_EQ(desktidy(QStringList{"--yes", "rename"} + wrong).status, 2)
            << wrong.join(' ').toStdString();
    }
}

}  // namespace
