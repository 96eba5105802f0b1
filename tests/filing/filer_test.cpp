#include "filing/filer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <cerrno>
#include <random>

#include "filing/type_table.h"
#include "settings/settings.h"
#include "support/faulty_file_system.h"
#include "support/qstring_printer.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"
#include "support/tree_listing.h"

namespace {

// The default folder names with short type lists: mp3 audio, zip compressed, csv data,
// jpg and .png images, txt words.
Settings filingSettings() {
    Settings s;
    s.folderNames = {"Archive", "Audio",  "Compressed", "Data", "Images",
                     "Layouts", "Videos", "Web",        "Words"};
    s.types(Category::Audio) = {"mp3 - MP3 audio"};
    s.types(Category::Compressed) = {"zip - Zip archive"};
    s.types(Category::Data) = {"csv - Comma-separated values"};
    s.types(Category::Image) = {"jpg - JPEG image", ".png - PNG image"};
    s.types(Category::Words) = {"txt - Plain text"};
    return s;
}

// Every item below root with its contents, and the permissions and time of every one
// that is no folder.
QStringList snapshot(const QString& root) {
    return describeTree(asPath(root), TreeDetail::ItemTimes);
}

// The names at the top level of folder, hidden ones included, in byte order.
QStringList topLevel(const QString& folder) {
    return displayed(LocalFileSystem().listNames(asPath(folder), true));
}

// Sets an item's modification time without following a link.
void setModified(const QString& path, std::int64_t seconds, long nanoseconds = 0) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW);
}

constexpr std::int64_t jan1st2020 = 1577836800;  // 00:00:00 UTC

// Records which items were shown while still at the top level, about to move.
class WitnessObserver : public RecordingObserver {
  public:
    QString folder;
    QStringList shownBeforeMove;
    void step(qsizetype done, qsizetype total, const StepItem& text) override {
        RecordingObserver::step(done, total, text);
        const QFileInfo item(folder + '/' + text.text());
        if (item.exists() || item.isSymLink()) shownBeforeMove << text.text();
    }
};

class FilerTest : public ::testing::Test {
  protected:
    void SetUp() override { makeFolder(observer.folder = folder); }
    QString in(const QString& relative) const { return folder + '/' + relative; }
    MoveCounts file() { return filer.fileFolder(asPath(folder), settings); }
    MoveCounts unfile() { return filer.unfileFolder(asPath(folder), settings.folderNames); }
    MoveCounts archive(const QString& year, const QString& month = "None") {
        return filer.archiveFolder(asPath(folder), settings,
                                   ArchiveCutoff::fromTitles(year, month, "None"));
    }

    TempHome home;
    QString folder = home / "F";
    Settings settings = filingSettings();
    WitnessObserver observer;
    FaultyFileSystem files;
    Filer filer{files, observer};
};

// Random items: files, folders with contents, links (dangling or not), hidden names,
// names with spaces, "%" and non-ASCII, ages around 2020.
void fillRandomly(const QString& folder, std::mt19937& random) {
    const QStringList stems = {"a", "Report 2", "x%@y", "Ünïcode", "a.b", "-dash"};
    const QStringList types = {"jpg", "JPG", "png", "txt", "mp3", "zip", "csv", "c", "", "jpg'"};
    for (int i = 0; i < 120; ++i) {
        QString name = stems[random() % stems.size()] + QString::number(i);
        if (const QString type = types[random() % types.size()]; !type.isEmpty())
            name += '.' + type;
        if (random() % 10 == 0) name.prepend('.');
        const QString path = folder + '/' + name;
        if (const int kind = random() % 6; kind == 0) {
            writeFile(path + "/inner.jpg", name.toUtf8());
            writeFile(path + "/.inner", "hidden");
        } else if (kind == 1) {
            QFile::link(random() % 2 ? "/nonexistent/" + name : "../outside", path);
        } else {
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
        const QStringList before = snapshot(folder), namesBefore = topLevel(folder);
        if (seed % 2 == 0) (void)archive("2020");  // as filing does with an archive date set
        // That the run makes the planned moves: PreviewMatchesJournal.
        EXPECT_GT(file().moved, 10);
        for (const QString& name : topLevel(folder))
            EXPECT_TRUE(!name.startsWith('.') || namesBefore.contains(name)) << name.toStdString();
        (void)unfile();
        EXPECT_EQ(snapshot(folder), before);
        EXPECT_TRUE(topLevel(home / "outside").isEmpty());
        QDir(folder).removeRecursively();
        makeFolder(folder);
    }
}

// Names are bytes: each item is filed, archived and unfiled as itself, whatever they are.
TEST_F(FilerTest, ItemsAreFiledAndUnfiledByTheBytesOfTheirNames) {
    const Path f = asPath(folder);
    auto rawNames = [&](const Path& in) {
        const NameList names = files.listNames(in, true);
        QList<QByteArray> list;
        for (std::size_t i = 0; i < names.size(); ++i) list << names.name(i);
        return list;
    };
    const QList<QByteArray> names = {"-dash.mp3", "caf\xE9.jpg", "line\nbreak.txt", "old\xFF.csv",
                                     "\xEF\xBF\xBD.jpg"};
    for (const QByteArray& name : names) ASSERT_EQ(::close(::creat((f / name).c_str(), 0644)), 0);
    const struct timespec old[2] = {{0, 0}, {0, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (f / "old\xFF.csv").c_str(), old, 0), 0);

    EXPECT_EQ(archive("2020").moved, 1);
    // Scripts get every name back byte for byte from the plan's JSON.
    const QJsonObject plan = planJson(filer.planFiling(f, settings));
    const QJsonArray steps =
        QJsonDocument::fromJson(QJsonDocument(plan).toJson())["steps"].toArray();
    ASSERT_EQ(steps.size(), 4);
    EXPECT_EQ(bytesOfText(steps[1]["from"].toString()), (f / "caf\xE9.jpg").bytes());
    EXPECT_EQ(bytesOfText(steps[3]["to"].toString()), (f / "Words/line\nbreak.txt").bytes());
    EXPECT_EQ(file().moved, 4);
    EXPECT_EQ(rawNames(f / "Images"), (QList<QByteArray>{"caf\xE9.jpg", "\xEF\xBF\xBD.jpg"}));
    EXPECT_EQ(rawNames(f / "Archive/Data"), QList<QByteArray>{"old\xFF.csv"});
    EXPECT_TRUE(observer.items().contains("caf\\xE9.jpg"));
    EXPECT_TRUE(observer.items().contains("line\\x0Abreak.txt"));
    EXPECT_EQ(unfile().moved, 5);
    EXPECT_EQ(rawNames(f), names);
}

TEST_F(FilerTest, FilesVisibleMatchingItemsShowingEachBeforeItMoves) {
    settings.types(Category::Compressed) << "app - Application";
    for (const QString name : {"a.jpg", "b.JPG", ".hidden.jpg", "main.c"})
        writeFile(in(name), name.toUtf8());
    makeFolder(in("Tool.app/Contents"));
    QFile::link(home / "outside.jpg", in("link.jpg"));

    EXPECT_EQ(file().moved, 3);

    EXPECT_EQ(topLevel(folder),
              (QStringList{".hidden.jpg", "Compressed", "Images", "b.JPG", "main.c"}));
    EXPECT_EQ(topLevel(in("Images")), (QStringList{"a.jpg", "link.jpg"}));
    EXPECT_TRUE(
        describeTree(asPath(folder)).contains("Images/link.jpg l -> " + home / "outside.jpg"));
    EXPECT_EQ(observer.shownBeforeMove, (QStringList{"Tool.app", "a.jpg", "link.jpg"}));
}

TEST_F(FilerTest, MovesThatFailAreCountedAndLeaveNoFolderMadeForThem) {
    for (const QString name : {"a.jpg", "b.jpg", "c.txt", "d.mp3", "old.csv"})
        writeFile(in(name), name.toUtf8());
    setModified(in("old.csv"), 0);
    files.failMakeDirectory[in("Audio")] = EROFS;
    files.failMoveTo[in("Images/b.jpg")] = EACCES;
    files.failMoveTo[in("Words/c.txt")] = EBUSY;
    files.failMoveTo[in("Archive/Data/old.csv")] = EACCES;

    const MoveCounts archived = archive("2020");
    EXPECT_EQ(std::make_pair(archived.failed, archived.firstFailure.code),
              std::make_pair(1, EACCES));
    const MoveCounts filed = file();
    EXPECT_EQ(filed.moved, 2);  // a.jpg, and old.csv filed as it could not be archived
    EXPECT_EQ(filed.failed, 3);
    EXPECT_EQ(filed.firstFailure.message,
              u"Could not create folder \u201cAudio\u201d: Read-only file system.");
    EXPECT_EQ(topLevel(folder), (QStringList{"Data", "Images", "b.jpg", "c.txt", "d.mp3"}));

    files.failMoveFrom[in("Images/a.jpg")] = EBUSY;
    const MoveCounts unfiled = unfile();
    EXPECT_EQ(std::make_pair(unfiled.moved, unfiled.failed), std::make_pair(1, 1));
    EXPECT_EQ(readFile(in("Images/a.jpg")), "a.jpg");
}

TEST_F(FilerTest, CategoryFoldersThatAreNoFoldersHereKeepTheirItemsOut) {
    writeFile(home / "elsewhere/theirs.jpg", "not ours");
    settings.types(Category::Web) = {"html - Web page"};
    settings.folderNames[1] = "../elsewhere";  // audio: a name leading out
    QFile::link("/nonexistent", in("Compressed"));
    settings.folderNames[4] = "Pictures.csv";  // images, named like data
    writeFile(in("Pictures.csv/old.jpg"), "filed earlier");
    QFile::link(home / "elsewhere", in("Web"));
    writeFile(in("Words"), "a file");
    for (const QString name : {"a.mp3", "a.zip", "a.csv", "a.jpg", "a.html", "a.txt"})
        writeFile(in(name), "x");

    EXPECT_EQ(file().stayed, 4);
    EXPECT_EQ(topLevel(in("Data")), QStringList{"a.csv"});
    EXPECT_EQ(topLevel(in("Pictures.csv")), (QStringList{"a.jpg", "old.jpg"}));
    (void)unfile();
    EXPECT_EQ(topLevel(folder), (QStringList{"Compressed", "Web", "Words", "a.csv", "a.html",
                                             "a.jpg", "a.mp3", "a.txt", "a.zip", "old.jpg"}));
    EXPECT_EQ(readFile(in("Words")), "a file");
    EXPECT_EQ(topLevel(home / "elsewhere"), QStringList{"theirs.jpg"});
}

TEST_F(FilerTest, ArchivesMatchingLooseItemsUpToMidnightUtcOfTheDay) {
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "America/New_York");  // local midnight would be five hours later
    const std::pair<QString, std::int64_t> items[] = {{"exact.jpg", jan1st2020},
                                                      {"old.mp3", jan1st2020 - 1},
                                                      {"new.jpg", jan1st2020 + 3600},
                                                      {"old.weird", 0}};
    for (const auto& [name, time] : items) {
        writeFile(in(name), name.toUtf8());
        setModified(in(name), time);
    }
    writeFile(in("later.jpg"), "a fraction after");
    setModified(in("later.jpg"), jan1st2020, 1);
    writeFile(in("Images/inside.jpg"), "filed earlier");
    setModified(in("Images/inside.jpg"), 0);

    EXPECT_EQ(resultLine(archive("2020").report), "Archived 2 items into 2 folders.");
    (void)file();
    zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);

    EXPECT_EQ(
        describeTree(asPath(folder)),
        (QStringList{"Archive d", "Archive/Audio d", "Archive/Audio/old.mp3 f old.mp3",
                     "Archive/Images d", "Archive/Images/exact.jpg f exact.jpg", "Images d",
                     "Images/inside.jpg f filed earlier", "Images/later.jpg f a fraction after",
                     "Images/new.jpg f new.jpg", "old.weird f old.weird"}));
}

TEST_F(FilerTest, NoDateCreatesNothingAndAnInvalidOneArchivesNothing) {
    writeFile(in("old.jpg"), "old");
    setModified(in("old.jpg"), 0);
    (void)archive("None", "01");
    EXPECT_TRUE(observer.calls.isEmpty());
    EXPECT_EQ(topLevel(folder), QStringList{"old.jpg"});

    EXPECT_EQ(archive("2021", "13").moved, 0);
    EXPECT_EQ(topLevel(folder), (QStringList{"Archive", "old.jpg"}));
    (void)file();  // and filing removes the empty archive folder
    EXPECT_EQ(topLevel(folder), QStringList{"Images"});
}

// A taken name keeps its item where it is, both ways; the result line tells what moved
// and why items stayed.
TEST_F(FilerTest, ATakenNameKeepsItsItemWhereItIsAndTheResultLineSaysWhy) {
    EXPECT_EQ(resultLine(file().report), "Nothing was filed.");
    for (const QString name :
         {"a.jpg", "b.jpg", "notes", "song.mp3", "Audio", ".directory", "Words/.directory"})
        writeFile(in(name), name.toUtf8());
    writeFile(in("Images/b.jpg"), "filed earlier");
    const MoveCounts filed = file();
    EXPECT_EQ(resultLine(filed.report),
              "Filed 1 item into 1 folder. 3 stayed: 1 with no matching type, 1 name taken, 1 "
              "not in a real folder.");
    const QJsonObject json = reportJson(filed.report);
    EXPECT_EQ(json["stayed"]["no_matching_type"].toInt(), 1);
    EXPECT_EQ(json["done"].toInt(), 1);
    EXPECT_EQ(resultLine(unfile().report),
              "Unfiled 1 item from 1 folder. 2 stayed: 2 names taken.");
    EXPECT_EQ(topLevel(folder), (QStringList{".directory", "Audio", "Images", "Words", "a.jpg",
                                             "b.jpg", "notes", "song.mp3"}));
    for (const QString name : {"b.jpg", ".directory", "Words/.directory"})
        EXPECT_EQ(readFile(in(name)), name.toUtf8());
    EXPECT_EQ(readFile(in("Images/b.jpg")), "filed earlier");
}

// Unfiling brings back all in the nine folders, hidden items too, and nothing else. It goes
// folder by folder: a name brought back earlier is taken for later folders, and a category
// folder emptied and removed frees its name for the folders after it.
TEST_F(FilerTest, UnfilingBringsBackAllInTheNineFoldersTakingNamesInTheirOrder) {
    writeFile(in("Images/.directory"), "bookkeeping");
    writeFile(in("Words/by hand"), "dropped in by the user");
    writeFile(in("Archive/Data/old.csv"), "archived");
    writeFile(in("Archive/loose"), "not in a category folder");
    writeFile(in("Pictures/kept.jpg"), "not one of the nine names");
    writeFile(in("Archive/Audio/Images"), "before the folder Images is gone");
    writeFile(in("Images/pic.jpg"), "pic");
    writeFile(in("Data/same.csv"), "data");
    writeFile(in("Words/same.csv"), "words");
    writeFile(in("Words/Images"), "after the folder Images is gone");
    EXPECT_EQ(resultLine(unfile().report),
              "Unfiled 6 items from 4 folders. 2 stayed: 2 names taken.");
    EXPECT_EQ(topLevel(folder), (QStringList{".directory", "Archive", "Images", "Pictures", "Words",
                                             "by hand", "old.csv", "pic.jpg", "same.csv"}));
    EXPECT_EQ(topLevel(in("Archive")), (QStringList{"Audio", "loose"}));
    EXPECT_EQ(readFile(in("Images")), "after the folder Images is gone");
    EXPECT_EQ(readFile(in("same.csv")), "data");
    EXPECT_EQ(topLevel(in("Words")), QStringList{"same.csv"});
}

TEST(TypeTable, GivesTheLowestCategoryWhoseListMatchesTheExtension) {
    Settings s = filingSettings();
    s.types(Category::Data) << "jpg - listed under data too";
    s.types(Category::Words) << "c - one letter"
                             << ".h - one letter after its dot"
                             << "md\tMarkdown"
                             << " rtf - no type before the space";
    const TypeTable table(s);
    EXPECT_EQ(table.categoryOf("photo.jpg"), 3);
    EXPECT_EQ(table.categoryOf("shot.png"), 4);  // listed as ".png"
    EXPECT_EQ(table.categoryOf("notes.md"), 8);
    EXPECT_EQ(table.categoryOf("Tool.zip"), 2);
    EXPECT_EQ(table.categoryOf("old.tar.zip"), 2);  // the last extension
    EXPECT_EQ(table.categoryOf("it's.j'pg"), 3);    // apostrophes are no part of a type
    EXPECT_EQ(table.categoryOf("caf\xE9.jpg"), 3);  // a name that is not UTF-8 has a type too
    for (const char* stays : {"Photo.JPG", ".hidden.jpg", ".md", "main.c", "main.h", "jpg",
                              "photo.", "photo.jpeg", "x.rtf", "x.\xFFjpg"})
        EXPECT_EQ(table.categoryOf(stays), noCategory) << stays;
}
