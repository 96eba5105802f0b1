#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <future>

#include "platform/property_list.h"
#include "settings/bundle_defaults.h"
#include "support/temp_home.h"

namespace {

// One run of the program's start-up as far as the store goes: load, then save.
struct StoreRun {
    Settings settings;
    std::unique_ptr<SettingsStore> store;

    StoreRun(const QString& file, const QString& home)
        : store(std::make_unique<SettingsStore>(file)) {
        store->load(settings, BundleDefaults::fromResources().myDefaults, home);
        store->save(settings);
    }
};

QStringList sortedCaseInsensitively(QStringList list) {
    std::stable_sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return list;
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    TempHome home;
    QString file = home.configFile();
    QVariantMap bundle = BundleDefaults::fromResources().myDefaults;
};

// The file as another process reads it: a copy under a new name is parsed from disk,
// where the same name would be served from QSettings' in-process cache.
QString freshCopy(const QString& file) {
    static int copies = 0;
    const QString copy = file + QStringLiteral(".copy-%1").arg(++copies);
    EXPECT_TRUE(QFile::copy(file, copy));
    return copy;
}

TEST_F(SettingsStoreTest, FirstStartFillsEveryKeyFromTheDefaults) {
    StoreRun run(file, home.path());
    const Settings& s = run.settings;
    EXPECT_EQ(s.folderNames, QStringList({"Archive", "Audio", "Compressed", "Data", "Images",
                                          "Layouts", "Videos", "Web", "Words"}));
    const QStringList& images = s.types(Category::Image);
    EXPECT_EQ(images, sortedCaseInsensitively(bundle.value("image").toStringList()));
    EXPECT_EQ(s.workingFolder, home.desktop());
    EXPECT_EQ(s.archiveDate, ArchiveDate({"None", "None", "None"}));
    EXPECT_TRUE(readFile(file).split('\n').contains("scheddays=1, 0, 0, 0, 0, 0, 0, 0"));
}

// A second start reads every key back (what its save writes is what its load read),
// and a folder list that is not nine names costs nothing but the folder names. The keys
// are spelt out, so that one misspelt in the store on either side of the file shows.
TEST_F(SettingsStoreTest, EveryKeyRoundTripsAndADamagedFolderListLosesOnlyItself) {
    for (const bool damagedFolders : {false, true}) {
        // Flags both ways, so that an unread key (a stored 0 reads as no change) or two
        // swapped keys show.
        const int on = damagedFolders ? 0 : 1;
        const QString first = home / QString("first-%1.conf").arg(on);
        {
            StoreRun run(first, home.path());
            Settings& s = run.settings;
            s.folderNames[4] = "Bilder";
            s.listedFolders = {home / "Schreibtisch", home / "Fotos, 2024 \"neu\" @ 100%"};
            for (Category c : allCategories)
                s.types(c) = {categoryKey(c) + " - mine", "zz - " + categoryKey(c)};
            s.packRows = {{home / "ünïcödé/日本", "/media/stick"}};
            s.unpackRows = {{"/media/stick/日本", home / "ünïcödé"},
                            {"/media/stick/b", home / "b"}};
            s.archiveDate = {"03", "14", "2011"};
            s.workingFolder = home / "Été";
            s.checkForUpdates = on;
            s.schedule.time = QDateTime(QDate(2010, 5, 1), QTime(7, 45));
            s.schedule.days.setWeekday(1, true);
            s.schedule.days.setWeekday(5, true);
            s.schedule.month = 3;
            s.schedule.monthDay = 17;
            s.schedule.byWeekdays = on;
            s.schedule.hoursStep = 5;
            s.schedule.everyNHours = on;
            s.packOverwrite = on;
            s.unpackOverwrite = !on;
            run.store->save(s);
        }
        if (damagedFolders)
            QSettings(first, QSettings::IniFormat)
                .setValue("folders", QStringList{"A", "B", "C", "D", "E"});

        const QString second = freshCopy(first);
        StoreRun again(second, home.path());
        const Settings& s = again.settings;
        QStringList folders = {"Archive", "Audio",  "Compressed", "Data", "Images",
                               "Layouts", "Videos", "Web",        "Words"};
        if (!damagedFolders) folders[4] = "Bilder";
        const QString offset =
            formatScheduleDate(QDateTime(QDate(2010, 5, 1), QTime(7, 45))).mid(20);
        const QList<QPair<const char*, QStringList>> expected = {
            {"folders", folders},
            {"myfolders", {home / "Schreibtisch", home / "Fotos, 2024 \"neu\" @ 100%"}},
            {"web", {"web - mine", "zz - web"}},
            {"compressed", {"compressed - mine", "zz - compressed"}},
            {"layout", {"layout - mine", "zz - layout"}},
            {"data", {"data - mine", "zz - data"}},
            {"image", {"image - mine", "zz - image"}},
            {"words", {"words - mine", "zz - words"}},
            {"video", {"video - mine", "zz - video"}},
            {"audio", {"audio - mine", "zz - audio"}},
            {"packFrom", {home / "ünïcödé/日本"}},
            {"packTo", {"/media/stick"}},
            {"unpackFrom", {"/media/stick/日本", "/media/stick/b"}},
            {"unpackTo", {home / "ünïcödé", home / "b"}},
            {"archMonth", {"03"}},
            {"archDay", {"14"}},
            {"archYear", {"2011"}},
            {"pathString", {home / "Été"}},
            {"updatesState", {QString::number(on)}},
            {"schedDateValue", {"2010-05-01 07:45:00 " + offset}},
            {"scheddays", {"0", "0", "1", "0", "0", "0", "1", "0"}},
            {"schedMonth", {"3"}},
            {"schedMday", {"17"}},
            {"setByDay", {QString::number(on)}},
            {"hoursStep", {"5"}},
            {"hoursState", {QString::number(on)}},
            {"packOverwrite", {QString::number(on)}},
            {"unpackOverwrite", {QString::number(!on)}},
        };
        ASSERT_EQ(expected.size(), 28);
        QSettings onDisk(freshCopy(second), QSettings::IniFormat);
        for (const auto& [key, value] : expected)
            EXPECT_EQ(onDisk.value(key).toStringList(), value)
                << key << (damagedFolders ? " (damaged)" : "");

        // The save wrote what the load read.
        EXPECT_EQ(s.folderNames, folders);
        EXPECT_EQ(s.schedule.timeOfDay(), QTime(7, 45));
    }
}

// One list holding one empty text is written by QSettings as a bare empty value; pack
// lists of unequal length come from hand edits. No row may vanish either way.
TEST_F(SettingsStoreTest, PackRowsKeepEveryCellThroughTheFile) {
    {
        StoreRun run(file, home.path());
        run.settings.packRows = {PackRow{}};  // a row that is still to be filled in
        run.settings.unpackRows = {{"/a", "/c"}, {"/b", ""}, {"", ""}};
        run.store->save(run.settings);
    }
    QSettings(file, QSettings::IniFormat).setValue("unpackTo", "/c");  // one side cut short
    StoreRun again(freshCopy(file), home.path());
    EXPECT_EQ(again.settings.packRows, QList<PackRow>{PackRow{}});
    EXPECT_EQ(again.settings.unpackRows, QList<PackRow>({{"/a", "/c"}, {"/b", ""}, {"", ""}}));
}

// A file as earlier versions wrote it loads as it did, and ordinary lists are written
// back in the same form.
TEST_F(SettingsStoreTest, AFileWrittenBeforeLoadsAndIsWrittenAsBefore) {
    const QByteArray lines[] = {
        "folders=Archive, Audio, Compressed, Data, Images, Layouts, Videos, Web, Words",
        "myfolders=/home/a",
        "packFrom=/one, \"/two, too\"",
        "packTo=/x, /y",
        "unpackFrom=@Invalid()",
        "unpackTo=@Invalid()",
        "scheddays=0, 1, 0, 0, 0, 0, 0, 0",
        "hoursStep=3",
    };
    QByteArray text = "[General]\n";
    for (const QByteArray& line : lines) text += line + '\n';
    writeFile(file, text);
    StoreRun run(file, home.path());
    EXPECT_EQ(run.settings.listedFolders, QStringList({"/home/a"}));
    EXPECT_EQ(run.settings.packRows, QList<PackRow>({{"/one", "/x"}, {"/two, too", "/y"}}));
    EXPECT_TRUE(run.settings.unpackRows.isEmpty());
    EXPECT_EQ(run.settings.schedule.days, (ScheduleDays{false, {true}}));
    EXPECT_EQ(run.settings.schedule.hoursStep, 3);
    const QList<QByteArray> written = readFile(file).split('\n');
    for (const QByteArray& line : lines) EXPECT_TRUE(written.contains(line)) << line.constData();
}

TEST_F(SettingsStoreTest, AFifoInPlaceOfTheFileIsSetAsideNotRead) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    auto start = std::async(std::launch::async,
                            [&] { return StoreRun(file, home.path()).settings.folderNames; });
    if (start.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "start-up waits for a writer to the FIFO";
        QFile writer(file);
        writer.open(QIODevice::WriteOnly);  // lets the stalled read end
    }
    EXPECT_EQ(start.get().size(), 9);
    struct stat status;
    ASSERT_EQ(::stat(QFile::encodeName(file + ".damaged-1").constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_TRUE(QFileInfo(file).isFile());
}

// The time of day is the one written, whatever the offset beside it; a save that did not
// change it writes the same text back.
TEST_F(SettingsStoreTest, ScheduleTimeIsStoredWithItsOffsetAndReadByPosition) {
    StoreRun run(file, home.path());
    QSettings(file, QSettings::IniFormat).setValue("schedDateValue", "2010-05-01 07:45:00 +0200");
    SettingsStore fresh(file);
    fresh.load(run.settings, bundle, home.path());
    EXPECT_EQ(run.settings.schedule.timeOfDay(), QTime(7, 45));
    EXPECT_EQ(run.settings.schedule.time.toUTC().time(), QTime(5, 45));
    fresh.save(run.settings);
    EXPECT_EQ(fresh.value("schedDateValue").toString(), "2010-05-01 07:45:00 +0200");
}

TEST_F(SettingsStoreTest, AStoredZeroLeavesTheValueAsItIs) {
    StoreRun run(file, home.path());
    run.settings.schedule.month = 5;
    run.settings.schedule.hoursStep = 4;
    QSettings(file, QSettings::IniFormat).setValue("schedMonth", 0);
    QSettings(file, QSettings::IniFormat).setValue("hoursStep", 0);
    SettingsStore(file).load(run.settings, bundle, home.path());
    EXPECT_EQ(run.settings.schedule.month, 5);
    EXPECT_EQ(run.settings.schedule.hoursStep, 4);
}

TEST_F(SettingsStoreTest, OnlyAMissingOrEmptyFolderListTakesTheDefaultsPath) {
    const QStringList names = bundle.value("folders").toStringList();
    for (const QVariant& folders :
         {QVariant(), QVariant(QStringList()), QVariant(QString()), QVariant(QString("just text")),
          QVariant(QStringList{"1", "2", "3", "4", "", "6", "7", "8", "9"})}) {
        const bool firstStart = folders.toStringList().join("").isEmpty();
        StoreRun run(file, home.path());
        run.settings.types(Category::Image) = {"zzz - edited"};
        run.settings.listedFolders = {home / "kept in memory"};
        run.store->save(run.settings);
        QSettings raw(file, QSettings::IniFormat);
        if (folders.isValid())
            raw.setValue("folders", folders);
        else
            raw.remove("folders");
        raw.sync();

        StoreRun again(freshCopy(file), home.path());
        EXPECT_EQ(again.settings.folderNames, names);
        if (firstStart) {
            EXPECT_EQ(again.settings.types(Category::Image),
                      sortedCaseInsensitively(bundle.value("image").toStringList()));
            // The stored folder list is not read on this path: the save overwrites it.
            EXPECT_TRUE(again.settings.listedFolders.isEmpty());
        } else {
            EXPECT_EQ(again.settings.types(Category::Image), QStringList({"zzz - edited"}));
            EXPECT_EQ(again.settings.listedFolders, QStringList({home / "kept in memory"}));
        }
        QFile::remove(file);
    }
}

TEST_F(SettingsStoreTest, AFileDamagedByHandStillGivesAUsableStore) {
    const QByteArray damaged[] = {
        QByteArray("\x00\xff\xfe garbage [[[ \n=\n\x01\x02", 18),
        "[General]\nfolders=Archive, Audio, Compressed, Data, Images, Layouts, Videos, Web, Words\n"
        "scheddays=1, 0, 1\nhoursStep=lots\nupdatesState=@Variant(\\0\\0\\0\\x7f)\npathString=a, "
        "b\n"
        "packFrom=/one, /two\npackTo=/only-one\n",
        "[General\nfolders=@ByteArray(\n",
    };
    for (const QByteArray& bytes : damaged) {
        writeFile(file, bytes);
        StoreRun run(file, home.path());
        EXPECT_EQ(run.settings.folderNames.size(), 9);
        EXPECT_EQ(run.settings.schedule.days, ScheduleDays());  // three days are no week
        EXPECT_EQ(run.settings.schedule.hoursStep, 2);
        // What was written is read back as it was.
        StoreRun again(file, home.path());
        EXPECT_EQ(again.settings, run.settings);
        QFile::remove(file);
    }
}

}  // namespace
