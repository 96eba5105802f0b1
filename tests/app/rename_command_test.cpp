#include <gtest/gtest.h>

#include <QJsonDocument>

#include "run_desktidy.h"

TEST(RenameCommand, RenamesTheGivenOrTheStoredFolder) {
    TempHome home;
    writeFile(home / "trip/Beach Photo.JPG");
    Outcome r = desktidy({"--yes", "rename", home / "trip", "--replace", "beach", "--with", "Sea",
                          "--ignore-case", "--prefix", "Trip-", "--prefix-number2",
                          "--remove-spaces", "--lower"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(namesIn(home / "trip"), QStringList({"trip-0seaphoto.jpg"}));
    EXPECT_TRUE(r.err.contains("folders in " + home / "trip" + "?\n"));
    EXPECT_TRUE(r.err.contains("The file and/or folder names have been changed."));

    // The stored working folder starts as the Desktop.
    writeFile(home.desktop() + "/IMG_0042.jpg");
    makeFolder(home.desktop() + "/Scans");
    r = desktidy(
        {"--yes", "rename", "--suffix-number", "--suffix", "-x", "--remove-numbers", "--folders"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(namesIn(home.desktop()), QStringList({"IMG_.jpg-x", "Scans-x"}));
}

TEST(RenameCommand, ExitStatuses) {
    TempHome home;
    writeFile(home / "f/2010.txt");
    // An alert ends the run, which its preview foretells; scripts read both as JSON.
    const QString period = "File name cannot begin with a period (.) character.";
    const QJsonDocument plan = QJsonDocument::fromJson(
        desktidy({"--json", "--dry-run", "rename", home / "f", "--remove-numbers"}).out.toUtf8());
    EXPECT_EQ(plan["stop"]["alert"].toString(), period);
    EXPECT_EQ(plan["stop"]["item"].toString(), home / "f/2010.txt");
    Outcome alert = desktidy({"--yes", "--json", "rename", home / "f", "--remove-numbers"});
    EXPECT_EQ(alert.status, 1);
    EXPECT_TRUE(alert.err.contains(period));
    EXPECT_EQ(QJsonDocument::fromJson(alert.out.toUtf8())["result"].toString(),
              "Nothing was renamed. Stopped at \u201c2010.txt\u201d: " + period);
    EXPECT_EQ(desktidy({"rename", home / "f", "--upper"}).status, 1);  // nobody to answer
    EXPECT_EQ(desktidy({"--yes", "rename", home / "missing", "--upper"}).status, 1);
    for (const QStringList& wrong : {QStringList{"--with", "x"}, QStringList{"--ignore-case"},
                                     QStringList{"--upper", "--lower"},
                                     QStringList{home / "f", home / "f"}, QStringList{"--prefix"}})
        EXPECT_EQ(desktidy(QStringList{"--yes", "rename"} + wrong).status, 2)
            << wrong.join(' ').toStdString();
    EXPECT_EQ(namesIn(home / "f"), QStringList({"2010.txt"}));
}
