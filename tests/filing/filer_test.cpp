#include "filing/filer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <random>

#include "filing_fixture.h"
#include "support/faulty_file_system.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"

namespace {

constexpr std::int64_t jan1st2020 = 1577836800;

// Records, for each item shown, whether it was still at its old place at that moment.
class WitnessPrompter : public ScriptedPrompter {
public:
    QString folder;
    QStringList shownBeforeMove, shownAfterMove;
    void showProgressItem(const QString& text) override {
        ScriptedPrompter::showProgressItem(text);
        (QFile::exists(folder + '/' + text) ? shownBeforeMove : shownAfterMove) << text;
    }
};

void makeLink(const QString& target, const QString& path) {
    QFile::link(target, path);  // QFile::link makes a symbolic link, dangling ones too
}

class FilerTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeFolder(folder);
        prompter.folder = folder;
    }
    QString in(const QString& relative) const { return folder + '/' + relative; }
    MoveCounts file() { return filer.fileFolder(folder, settings); }
    MoveCounts unfile() { return filer.unfileFolder(folder, settings.fileFoldersArray); }
    MoveCounts archive(const QString& y, const QString& m = "None", const QString& d = "None") {
        return filer.archiveFolder(folder, settings, ArchiveCutoff::fromTitles(y, m, d));
    }

    TempHome home;
    QString folder = home / "F";
    Settings settings = filingSettings();
    WitnessPrompter prompter;
    FaultyFileSystem files;
    Filer filer{files, prompter};
};

// A folder of random items: files, folders with contents, links (inside, outside,
// dangling), hidden names, names with spaces, "%" and non-ASCII, mixed ages.
void fillRandomly(const QString& folder, std::mt19937& random) {
    const QStringList stems = {"a", "Report 2", "x%@y", "Ünïcode", "a.b", "-dash", "notes", "1"};
    const QStringList extensions = {"jpg", "JPG", "png", "txt",    "mp3",   "zip",
                                    "csv", "c",   "",    "tar.gz", "weird", "jpg'"};
    for (int i = 0; i < 120; ++i) {
        QString name = stems[random() % stems.size()] + QString::number(i);
        const QString ext = extensions[random() % extensions.size()];
        if (!ext.isEmpty()) name += '.' + ext;
        if (random() % 10 == 0) name.prepend('.');
        const QString path = folder + '/' + name;
        switch (random() % 6) {
            case 0:
                writeFile(path + "/inner.jpg", name.toUtf8());
                writeFile(path + "/.inner", "hidden");
                break;
            case 1:
                makeLink(random() % 2 ? "/nonexistent/" + name : "../outside", path);
                break;
            default:
                writeFile(path, name.toUtf8());
        }
        setModified(path, jan1st2020 + (std::int64_t(random() % 20) - 10) * 86400);
    }
}

}  // namespace

TEST_F(FilerTest, FilingThenUnfilingGivesBackExactlyTheSameFolder) {
    makeFolder(home / "outside");
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        fillRandomly(folder, random);
        const auto before = snapshot(folder);

        // Half the runs archive first, as filing does with an archive date set.
        if (seed % 2 == 0) archive("2020");
        const MoveCounts filed = file();
        EXPECT_GT(filed.moved, 10);
        EXPECT_EQ(filed.stayed, 0);
        const QStringList top = topLevel(folder);
        for (const QString& name : before.keys()) {
            if (name.startsWith('.') && !name.contains('/')) {
                EXPECT_TRUE(top.contains(name));
            }
        }

        unfile();
        EXPECT_EQ(snapshot(folder), before);
        EXPECT_EQ(snapshot(home / "outside").size(), 0);
        QDir(folder).removeRecursively();
        makeFolder(folder);
    }
}

TEST_F(FilerTest, FilesOnlyVisibleMatchingItemsAndMakesFoldersOnFirstUse) {
    settings.wordsTypesArray.clear();
    settings.compressedTypesArray << "app - Application";
    for (const QString name : {"a.jpg", "b.JPG", ".hidden.jpg", "a.txt", "main.c"})
        writeFile(in(name), name.toUtf8());
    makeFolder(in("Tool.app/Contents"));

    const MoveCounts counts = file();

    EXPECT_EQ(counts.moved, 2);
    EXPECT_EQ(topLevel(folder),
              (QStringList{".hidden.jpg", "Compressed", "Images", "a.txt", "b.JPG", "main.c"}));
    EXPECT_EQ(topLevel(in("Images")), QStringList{"a.jpg"});
    EXPECT_EQ(readFile(in("Images/a.jpg")), "a.jpg");
    EXPECT_TRUE(QFileInfo(in("Compressed/Tool.app/Contents")).isDir());
    // Each item is shown before it moves, between the panel's opening and closing.
    EXPECT_EQ(prompter.shownBeforeMove, (QStringList{"Tool.app", "a.jpg"}));
    EXPECT_TRUE(prompter.shownAfterMove.isEmpty());
    EXPECT_EQ(prompter.calls, (QStringList{"itemVisible|1", "progress|Filing...", "item|Tool.app",
                                           "item|a.jpg", "close"}));
}

TEST_F(FilerTest, AnItemWhoseNameIsTakenStaysAndNothingIsOverwritten) {
    writeFile(in("Images/a.jpg"), "filed earlier");
    writeFile(in("a.jpg"), "new");
    writeFile(in("b.jpg"), "b");

    const MoveCounts counts = file();

    EXPECT_EQ(counts.moved, 1);
    EXPECT_EQ(counts.stayed, 1);
    EXPECT_EQ(readFile(in("a.jpg")), "new");
    EXPECT_EQ(readFile(in("Images/a.jpg")), "filed earlier");
    EXPECT_EQ(readFile(in("Images/b.jpg")), "b");
}

TEST_F(FilerTest, FailedMovesLeaveTheirItemsInPlace) {
    for (int i = 0; i < 5; ++i) writeFile(in(QString("p%1.jpg").arg(i)), "x");
    files.failMovesAfter = 2;
    const MoveCounts counts = file();
    EXPECT_EQ(counts.moved, 2);
    EXPECT_EQ(counts.stayed, 3);
    EXPECT_EQ(topLevel(folder), (QStringList{"Images", "p2.jpg", "p3.jpg", "p4.jpg"}));
}

TEST_F(FilerTest, FilesLinksAsLinksWithoutFollowingThem) {
    writeFile(home / "outside/real.jpg", "real");
    makeFolder(home / "outside/folder");
    makeLink(home / "outside/real.jpg", in("pic.jpg"));
    makeLink("/nonexistent/gone.png", in("gone.png"));
    makeLink(home / "outside/folder", in("folder.zip"));

    EXPECT_EQ(file().moved, 3);

    EXPECT_TRUE(isLink(in("Images/pic.jpg")));
    EXPECT_TRUE(isLink(in("Images/gone.png")));
    EXPECT_TRUE(isLink(in("Compressed/folder.zip")));
    EXPECT_EQ(snapshot(home / "outside").keys(), (QStringList{"folder", "real.jpg"}));
}

TEST_F(FilerTest, AFileOrLinkInACategoryFolderPlaceKeepsItsItemsOut) {
    writeFile(home / "elsewhere/theirs.jpg", "not ours");
    for (const QString kind : {"file", "dangling link", "link to a folder"}) {
        SCOPED_TRACE(kind.toStdString());
        QDir(folder).removeRecursively();
        writeFile(in("a.jpg"), "a");
        writeFile(in("a.txt"), "t");
        if (kind == "file") writeFile(in("Images"), "not a folder");
        if (kind == "dangling link") makeLink("/nonexistent", in("Images"));
        if (kind == "link to a folder") makeLink(home / "elsewhere", in("Images"));
        const auto images = snapshot(folder).value("Images");

        const MoveCounts counts = file();

        EXPECT_EQ(counts.stayed, 1);
        EXPECT_EQ(readFile(in("a.jpg")), "a");
        EXPECT_EQ(readFile(in("Words/a.txt")), "t");
        EXPECT_EQ(snapshot(folder).value("Images"), images);
        EXPECT_EQ(topLevel(home / "elsewhere"), QStringList{"theirs.jpg"});
        // Unfiling leaves it alone as well.
        unfile();
        EXPECT_EQ(snapshot(folder).value("Images"), images);
        EXPECT_EQ(topLevel(home / "elsewhere"), QStringList{"theirs.jpg"});
    }
}

TEST_F(FilerTest, FolderNamesThatLeaveTheFolderAreNeverUsed) {
    makeFolder(home / "Out");
    writeFile(home / "Out/b.jpg", "outside");
    settings.fileFoldersArray[4] = "../Out";
    settings.fileFoldersArray[8] = "..";
    settings.fileFoldersArray[1] = "";
    for (const QString name : {"a.jpg", "a.txt", "a.mp3"}) writeFile(in(name), "x");

    EXPECT_EQ(file().stayed, 3);
    unfile();

    EXPECT_EQ(topLevel(folder), (QStringList{"a.jpg", "a.mp3", "a.txt"}));
    EXPECT_EQ(topLevel(home / "Out"), QStringList{"b.jpg"});
}

TEST_F(FilerTest, TheProgramsOwnFoldersAreNotFiledIntoOneAnother) {
    settings.fileFoldersArray[4] = "Pictures.zip";
    writeFile(in("Pictures.zip/old.jpg"), "old");
    writeFile(in("new.jpg"), "new");
    writeFile(in("x.zip"), "zip");
    file();
    EXPECT_EQ(topLevel(folder), (QStringList{"Compressed", "Pictures.zip"}));
    EXPECT_EQ(topLevel(in("Pictures.zip")), (QStringList{"new.jpg", "old.jpg"}));
}

TEST_F(FilerTest, AFolderThatDoesNotExistFilesNothing) {
    QDir(folder).removeRecursively();
    EXPECT_EQ(archive("2020").moved, 0);
    EXPECT_EQ(file().moved, 0);
    EXPECT_EQ(unfile().moved, 0);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(FilerTest, UnfilingBringsBackEverythingInTheNineFoldersHiddenOnesToo) {
    writeFile(in("Images/a.jpg"), "a");
    writeFile(in("Images/.directory"), "bookkeeping");
    writeFile(in("Words/by hand"), "dropped in by the user");
    writeFile(in("Archive/Images/old.jpg"), "archived");
    writeFile(in("Archive/Data/old.csv"), "archived");
    makeFolder(in("Pictures"));  // renamed away from the nine names: left alone
    writeFile(in("Pictures/kept.jpg"), "k");

    const MoveCounts counts = unfile();

    EXPECT_EQ(counts.moved, 5);
    EXPECT_EQ(topLevel(folder),
              (QStringList{".directory", "Pictures", "a.jpg", "by hand", "old.csv", "old.jpg"}));
    EXPECT_EQ(prompter.calls.first(), "progress|Unfiling...");
    EXPECT_EQ(prompter.calls.last(), "close");
    EXPECT_EQ(prompter.callsStartingWith("item|").size(), 5);
}

TEST_F(FilerTest, UnfilingKeepsAnItemWhoseNameIsTakenAndItsFolder) {
    writeFile(in("a.jpg"), "newer");
    writeFile(in("Images/a.jpg"), "filed");
    writeFile(in(".directory"), "top");
    writeFile(in("Words/.directory"), "inside");
    writeFile(in("Archive/Images/b.jpg"), "archived");
    writeFile(in("Archive/loose"), "not in a category folder");

    const MoveCounts counts = unfile();

    EXPECT_EQ(counts.moved, 1);
    EXPECT_EQ(counts.stayed, 2);
    EXPECT_EQ(readFile(in("a.jpg")), "newer");
    EXPECT_EQ(readFile(in("Images/a.jpg")), "filed");
    EXPECT_EQ(readFile(in(".directory")), "top");
    EXPECT_EQ(readFile(in("Words/.directory")), "inside");
    EXPECT_EQ(readFile(in("b.jpg")), "archived");
    EXPECT_EQ(topLevel(in("Archive")), QStringList{"loose"});
}

TEST_F(FilerTest, ArchivesMatchingLooseItemsModifiedOnOrBeforeTheCutoff) {
    const std::pair<QString, std::int64_t> items[] = {{"old.jpg", jan1st2020 - 86400},
                                                      {"exact.jpg", jan1st2020},
                                                      {"new.jpg", jan1st2020 + 86400},
                                                      {"old.weird", jan1st2020 - 86400},
                                                      {"old.mp3", jan1st2020 - 1}};
    for (const auto& [name, time] : items) {
        writeFile(in(name), name.toUtf8());
        setModified(in(name), time);
    }
    writeFile(in("later.jpg"), "a fraction after");
    setModified(in("later.jpg"), jan1st2020, 1);
    writeFile(in("Images/inside.jpg"), "filed earlier");
    setModified(in("Images/inside.jpg"), 0);

    const MoveCounts archived = archive("2020");

    EXPECT_EQ(archived.moved, 3);
    EXPECT_EQ(topLevel(in("Archive")), (QStringList{"Audio", "Images"}));
    EXPECT_EQ(topLevel(in("Archive/Images")), (QStringList{"exact.jpg", "old.jpg"}));
    EXPECT_EQ(prompter.calls.mid(0, 2), (QStringList{"itemVisible|1", "progress|Archiving..."}));

    file();
    EXPECT_EQ(topLevel(folder), (QStringList{"Archive", "Images", "old.weird"}));
    EXPECT_EQ(topLevel(in("Images")), (QStringList{"inside.jpg", "later.jpg", "new.jpg"}));
}

TEST_F(FilerTest, NoDateArchivesNothingAndLeavesNoArchiveFolder) {
    writeFile(in("old.jpg"), "old");
    setModified(in("old.jpg"), 0);

    EXPECT_EQ(archive("None", "01", "01").moved, 0);
    EXPECT_TRUE(prompter.calls.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(in("Archive")));

    // A date the calendar lacks makes the archive folder, moves nothing, and filing
    // removes the folder again.
    EXPECT_EQ(archive("2021", "02", "30").moved, 0);
    EXPECT_TRUE(QFileInfo(in("Archive")).isDir());
    file();
    EXPECT_EQ(topLevel(folder), QStringList{"Images"});
}

TEST_F(FilerTest, AnItemWhoseArchiveNameIsTakenIsFiledInstead) {
    writeFile(in("Archive/Images/old.jpg"), "archived before");
    writeFile(in("old.jpg"), "also old");
    setModified(in("old.jpg"), 0);
    EXPECT_EQ(archive("2020").stayed, 1);
    file();
    EXPECT_EQ(readFile(in("Archive/Images/old.jpg")), "archived before");
    EXPECT_EQ(readFile(in("Images/old.jpg")), "also old");
}
