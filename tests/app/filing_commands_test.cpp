#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QSettings>

#include "run_desktidy.h"
#include "support/qstring_printer.h"
#include "support/tree_listing.h"

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
    EXPECT_EQ(filed.out, "Filed 2 items into 2 folders.\n");
    EXPECT_EQ(namesIn(home / "Desk"), (QStringList{".hidden.jpg", "Images", "Words"}));
    // With no folder given, the stored working folder: the one filed last.
    EXPECT_EQ(desktidy({"--yes", "unfile"}).status, 0);
    EXPECT_EQ(namesIn(home / "Desk"), (QStringList{".hidden.jpg", "a.jpg", "b.txt"}));
    // A folder that is not there is refused and not kept as the working folder.
    const Outcome missing = desktidy({"--yes", "file", "missing"}, home.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "desktidy: The folder " + home / "missing" + " does not exist.\n");
    writeFile(home / "some.txt");
    const Outcome file = desktidy({"--yes", "file", "some.txt"}, home.path());
    EXPECT_EQ(std::make_pair(file.status, file.err),
              std::make_pair(1, "desktidy: " + home / "some.txt" + " is not a folder.\n"));
    EXPECT_TRUE(desktidy({"settings"}).out.contains("\npathString: " + home / "Desk" + "\n"));

    writeFile(home / "B/new.jpg", "new");
    EXPECT_EQ(desktidy({"folders", "add", "Desk", home / "B"}, home.path()).status, 0);
    EXPECT_EQ(desktidy({"folders", "remove", "Desk"}, home.path()).status, 0);
    EXPECT_EQ(desktidy({"folders"}).out, home / "B\n");
    EXPECT_EQ(desktidy({"types", "add", "image", "Foo", "made", "up"}).status, 0);
    EXPECT_TRUE(desktidy({"types", "image"}).out.contains("\nFoo - made up\n"));
    EXPECT_EQ(desktidy({"types", "remove", "image", "Foo"}).status, 0);
    EXPECT_FALSE(desktidy({"types"}).out.contains("Foo"));

    EXPECT_EQ(desktidy({"archive-date", "2021", "2", "29"}).status, 2);
    EXPECT_EQ(desktidy({"archive-date", "2020", "1"}).status, 0);
    EXPECT_EQ(desktidy({"archive-date"}).out, "2020-01-None\n");  // the byte-name test archives
    const Outcome all = desktidy({"--yes", "file", "--all"});
    EXPECT_EQ(std::make_pair(all.status, all.out),
              std::make_pair(0, home / "B: Filed 1 item into 1 folder.\n"));
    EXPECT_TRUE(all.err.endsWith("(OK)\nDone filing all of your files\n")) << all.err.toStdString();
    EXPECT_EQ(readFile(home / "B/Images/new.jpg"), "new");
}

// "types which" says where a type files, as filing decides: the first category listing it,
// case counted; "types add" adds what it is given and warns of an entry that can never
// match, or that another category lists too, saying which one wins.
TEST(FilingCommands, TypesWhichAndAddSayWhereATypeFiles) {
    TempHome home;
    const auto run = [](const QStringList& arguments) {
        const Outcome o = desktidy(arguments);
        return std::tuple(o.status, o.out, o.err);
    };
    const QString noMatch = "desktidy types: warning: \u201c%1\u201d can never match: %2\n";
    EXPECT_EQ(run({"types", "which", ".jpg"}),
              std::tuple(0, QString("image (Images)\n"), QString()));
    EXPECT_EQ(run({"types", "which", "Jpg"}),
              std::tuple(1, QString(),
                         QString("desktidy types: no category lists Jpg; an item of this type "
                                 "stays where it is\n")));
    EXPECT_EQ(run({"types", "which", "c"}),
              std::tuple(1, QString(),
                         QString("desktidy types: \u201cc\u201d is never filed: filing reads only "
                                 "types of two characters or more\n")));
    EXPECT_EQ(run({"types", "add", "words", "jpg"}),
              std::tuple(0, QString(),
                         QString("desktidy types: warning: jpg is listed in image too; items of "
                                 "this type go into image (Images), the first category that "
                                 "lists it\n")));
    EXPECT_EQ(run({"types", "add", "audio", ".jpg"}),
              std::tuple(0, QString(),
                         QString("desktidy types: warning: .jpg is listed in image, words too; "
                                 "items of this type go into audio (Audio), the first category "
                                 "that lists it\n")));
    EXPECT_EQ(run({"types", "which", "jpg"}), std::tuple(0, QString("audio (Audio)\n"), QString()));
    EXPECT_EQ(run({"types", "add", "words", ".h"}),
              std::tuple(0, QString(),
                         noMatch.arg(".h", "filing reads only types of two characters or more")));
    EXPECT_EQ(run({"types", "add", "words", "tar.gz"}),
              std::tuple(0, QString(),
                         noMatch.arg("tar.gz",
                                     "an item's type is what follows the last "
                                     "\u201c.\u201d of its name")));
    // Added all the same.
    EXPECT_TRUE(desktidy({"types", "words"}).out.split('\n').contains(".h - "));
}

// A preview prints what would move and changes nothing at all, not even the settings or
// the recent folders; the run then prints its result, as JSON too.
TEST(FilingCommands, DryRunPrintsThePlanAndChangesNothing) {
    TempHome home;
    writeFile(home / "Desk/a.jpg", "a");
    writeFile(home / "Desk/notes", "n");
    const QStringList before = describeTree(asPath(home.path()), TreeDetail::Everything);
    const Outcome preview = desktidy({"--dry-run", "file", "Desk"}, home.path());
    EXPECT_EQ(preview.status, 0) << preview.err.toStdString();
    EXPECT_EQ(preview.out, home / "Desk/a.jpg -> " + home / "Desk/Images/a.jpg\n" +
                               home / "Desk/notes  [stays: no matching type]\n");
    EXPECT_EQ(describeTree(asPath(home.path()), TreeDetail::Everything), before);
    // --all previews each listed folder in turn, once however often it is listed, as the
    // run files it; one that is gone is told and fails it.
    makeFolder(home / "Gone");
    ASSERT_EQ(desktidy({"folders", "add", "Gone", "Desk"}, home.path()).status, 0);
    // The list refuses a folder it holds, by any path, and the root, saying why.
    ASSERT_TRUE(QFile::link(home / "Desk", home / "Link"));
    const QList<std::pair<QStringList, QString>> refusals = {
        {{"./Desk/"}, "The folder " + home / "Desk is listed already."},
        {{"Link"}, "The folder " + home / "Link is listed already, as " + home / "Desk."},
        {{"B", "B"}, "The folder " + home / "B is listed already."},
        {{"/"},
         "The folder / cannot be listed: it holds the whole system, not loose items to "
         "file."}};
    makeFolder(home / "B");
    for (const auto& [paths, why] : refusals) {
        const Outcome refused = desktidy(QStringList{"folders", "add"} + paths, home.path());
        EXPECT_EQ(std::make_pair(refused.status, refused.err),
                  std::make_pair(2, "desktidy: " + why + "\n"));
    }
    EXPECT_EQ(desktidy({"folders"}).out, home / "Gone\n" + home / "Desk\n");
    {  // as a hand-edited file may list it
        QSettings stored(home.configFile(), QSettings::IniFormat);
        stored.setValue("myfolders", QStringList{home / "Gone", home / "Desk", home / "Desk"});
    }
    QDir(home / "Gone").removeRecursively();
    const Outcome all = desktidy({"--dry-run", "file", "--all"});
    EXPECT_EQ(std::make_tuple(all.status, all.out, all.err),
              std::make_tuple(1, preview.out,
                              "desktidy: The folder " + home / "Gone" + " does not exist.\n"));
    const Outcome json = desktidy({"--json", "--yes", "file", "Desk"}, home.path());
    EXPECT_EQ(QJsonDocument::fromJson(json.out.toUtf8())["result"].toString(),
              "Filed 1 item into 1 folder. 1 stayed: 1 with no matching type.");
    EXPECT_EQ(desktidy({"--dry-run", "trash"}).status, 2);
}
