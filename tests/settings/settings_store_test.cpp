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
    SetupForm form;
    std::unique_ptr<SettingsStore> store;

    StoreRun(const QString& file, const QString& home)
        : store(std::make_unique<SettingsStore>(file)) {
        store->load(settings, form, BundleDefaults::fromResources().myDefaults, home);
        store->save(settings, form);
    }
    void load(const QString& home) {
        store->load(settings, form, BundleDefaults::fromResources().myDefaults, home);
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
    EXPECT_EQ(s.fileFoldersArray, QStringList({"Archive", "Audio", "Compressed", "Data", "Images",
                                               "Layouts", "Videos", "Web", "Words"}));
    EXPECT_EQ(s.imageTypesArray, sortedCaseInsensitively(bundle.value("image").toStringList()));
    EXPECT_TRUE(s.imageTypesArray.contains("JPG - JPEG image (camera)"));
    EXPECT_EQ(s.pathString, home.desktop());
    EXPECT_EQ(s.archMonth, "None");
    EXPECT_EQ(s.archYear, "None");
    EXPECT_EQ(s.updatesState, 1);
    EXPECT_EQ(s.packOverwrite, 1);
    EXPECT_EQ(s.unpackOverwrite, 1);
    EXPECT_TRUE(s.myFoldersArray.isEmpty());
    EXPECT_TRUE(s.packFromArray.isEmpty());
    EXPECT_EQ(s.schedDaysArray, QList<int>({1, 0, 0, 0, 0, 0, 0, 0}));
    // The category table selects the audio row and shows its types.
    EXPECT_EQ(run.form.folderTableViewSelectedRow, 1);
    EXPECT_EQ(s.fileTypesArray, s.audioTypesArray);

    // Every key is written (their names are checked one by one below).
    EXPECT_EQ(QSettings(freshCopy(file), QSettings::IniFormat).allKeys().size(), 28);
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
            SetupForm& f = run.form;
            s.fileFoldersArray[4] = "Bilder";
            s.myFoldersArray = {home / "Schreibtisch", home / "Fotos, 2024 \"neu\" @ 100%"};
            for (int k = 1; k <= Settings::categoryCount; ++k)
                *s.typeList(k) = {Settings::typeKey(k) + " - mine", "zz - " + Settings::typeKey(k)};
            s.packFromArray = {home / "ünïcödé/日本"};
            s.packToArray = {"/media/stick"};
            s.unpackFromArray = {"/media/stick/日本", "/media/stick/b"};
            s.unpackToArray = {home / "ünïcödé", home / "b"};
            f.archiveMo = "03";
            f.archiveDa = "14";
            f.archiveYr = "2011";
            f.myPathControl = home / "Été";
            f.updatesCheck = on;
            f.schedTime = QDateTime(QDate(2010, 5, 1), QTime(7, 45));
            f.schedAll = false;
            f.schedMon = f.schedFri = true;
            f.schedMonthButton = 3;
            f.schedMdayButton = 17;
            f.byDayMonth = on ? 0 : 1;
            f.hoursStepper = 5;
            f.everyHourCheck = on;
            f.packOverwriteCheck = on;
            f.unpackOverwriteCheck = !on;
            run.store->save(s, f);
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

        // The save wrote what the load put in the mirrors and controls; these two are
        // derived, not stored.
        EXPECT_EQ(s.fileFoldersArray, folders);
        EXPECT_EQ(QList<int>({s.schedHour, s.schedMin}), QList<int>({7, 45}));
    }
}

// One list holding one empty text is written by QSettings as a bare empty value; pack
// lists of unequal length come from hand edits. No row may vanish either way.
TEST_F(SettingsStoreTest, PackRowsKeepEveryCellThroughTheFile) {
    {
        StoreRun run(file, home.path());
        run.settings.packFromArray = {""};  // a row that is still to be filled in
        run.settings.packToArray = {""};
        run.settings.unpackFromArray = {"/a", "/b", ""};
        run.settings.unpackToArray = {"/c"};
        run.store->save(run.settings, run.form);
    }
    StoreRun again(freshCopy(file), home.path());
    EXPECT_EQ(again.settings.packFromArray, QStringList({""}));
    EXPECT_EQ(again.settings.packToArray, QStringList({""}));
    EXPECT_EQ(again.settings.unpackFromArray, QStringList({"/a", "/b", ""}));
    EXPECT_EQ(again.settings.unpackToArray, QStringList({"/c", "", ""}));
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
    EXPECT_EQ(run.settings.myFoldersArray, QStringList({"/home/a"}));
    EXPECT_EQ(run.settings.packFromArray, QStringList({"/one", "/two, too"}));
    EXPECT_EQ(run.settings.packToArray, QStringList({"/x", "/y"}));
    EXPECT_TRUE(run.settings.unpackFromArray.isEmpty());
    EXPECT_EQ(run.settings.schedDaysArray, QList<int>({0, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(run.settings.hoursStep, 3);
    const QList<QByteArray> written = readFile(file).split('\n');
    for (const QByteArray& line : lines) EXPECT_TRUE(written.contains(line)) << line.constData();
}

TEST_F(SettingsStoreTest, AFifoInPlaceOfTheFileIsSetAsideNotRead) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    auto start = std::async(std::launch::async,
                            [&] { return StoreRun(file, home.path()).settings.fileFoldersArray; });
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

TEST_F(SettingsStoreTest, ScheduleTimeIsStoredWithItsOffsetAndReadByPosition) {
    StoreRun run(file, home.path());
    QSettings(file, QSettings::IniFormat).setValue("schedDateValue", "2010-05-01 07:45:00 +0200");
    SettingsStore fresh(file);
    fresh.load(run.settings, run.form, bundle, home.path());
    EXPECT_EQ(run.settings.schedHour, 7);
    EXPECT_EQ(run.settings.schedMin, 45);
    EXPECT_EQ(run.form.schedTime.toUTC().time(), QTime(5, 45));

    const QString text = formatScheduleDate(QDateTime(QDate(2026, 1, 2), QTime(23, 5, 9)));
    EXPECT_TRUE(text.startsWith("2026-01-02 23:05:09 ")) << text.toStdString();
    EXPECT_EQ(parseScheduleDate(text), QDateTime(QDate(2026, 1, 2), QTime(23, 5, 9)));
}

TEST_F(SettingsStoreTest, AStoredZeroLeavesMirrorAndControlAsTheyAre) {
    StoreRun run(file, home.path());
    run.form.schedMonthButton = 5;
    run.settings.schedMonth = 5;
    run.settings.hoursStep = 4;
    QSettings(file, QSettings::IniFormat).setValue("schedMonth", 0);
    QSettings(file, QSettings::IniFormat).setValue("hoursStep", 0);
    SettingsStore(file).load(run.settings, run.form, bundle, home.path());
    EXPECT_EQ(run.form.schedMonthButton, 5);
    EXPECT_EQ(run.settings.hoursStep, 4);
}

TEST_F(SettingsStoreTest, OnlyAMissingOrEmptyFolderListTakesTheDefaultsPath) {
    const QStringList names = bundle.value("folders").toStringList();
    for (const QVariant& folders :
         {QVariant(), QVariant(QStringList()), QVariant(QString()), QVariant(QString("just text")),
          QVariant(QStringList{"1", "2", "3", "4", "", "6", "7", "8", "9"})}) {
        const bool firstStart = folders.toStringList().join("").isEmpty();
        StoreRun run(file, home.path());
        run.settings.imageTypesArray = {"zzz - edited"};
        run.settings.myFoldersArray = {home / "kept in memory"};
        run.store->save(run.settings, run.form);
        QSettings raw(file, QSettings::IniFormat);
        if (folders.isValid())
            raw.setValue("folders", folders);
        else
            raw.remove("folders");
        raw.sync();

        StoreRun again(freshCopy(file), home.path());
        EXPECT_EQ(again.settings.fileFoldersArray, names);
        if (firstStart) {
            EXPECT_EQ(again.settings.imageTypesArray,
                      sortedCaseInsensitively(bundle.value("image").toStringList()));
            // The stored folder list is not read on this path: the save overwrites it.
            EXPECT_TRUE(again.settings.myFoldersArray.isEmpty());
        } else {
            EXPECT_EQ(again.settings.imageTypesArray, QStringList({"zzz - edited"}));
            EXPECT_EQ(again.settings.myFoldersArray, QStringList({home / "kept in memory"}));
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
        EXPECT_EQ(run.settings.fileFoldersArray.size(), 9);
        EXPECT_EQ(run.settings.schedDaysArray.size(), 8);
        EXPECT_EQ(run.settings.packFromArray.size(), run.settings.packToArray.size());
        EXPECT_GT(run.settings.hoursStep, 0);
        // What was written is readable again.
        StoreRun again(file, home.path());
        EXPECT_EQ(again.settings.fileFoldersArray, run.settings.fileFoldersArray);
        EXPECT_EQ(again.settings.schedDaysArray.size(), 8);
        QFile::remove(file);
    }
}

TEST_F(SettingsStoreTest, ResetKeepsTheListsAndScheduleAndRestoresTheRest) {
    StoreRun run(file, home.path());
    Settings& s = run.settings;
    s.myFoldersArray = {home / "a"};
    s.packFromArray = {home / "from"};
    s.packToArray = {home / "to"};
    s.fileFoldersArray[2] = "Zipped";
    s.audioTypesArray = {"xyz - mine"};
    run.form.archiveYr = "2012";
    run.form.myPathControl = home / "elsewhere";
    run.form.updatesCheck = false;
    run.form.packOverwriteCheck = false;
    run.form.hoursStepper = 7;
    run.form.schedMon = true;
    run.store->save(s, run.form);

    s.reset = 1;
    run.load(home.path());
    run.store->save(s, run.form);

    EXPECT_EQ(s.reset, 0);
    EXPECT_EQ(s.myFoldersArray, QStringList({home / "a"}));
    EXPECT_EQ(s.packFromArray, QStringList({home / "from"}));
    EXPECT_EQ(s.hoursStep, 7);
    EXPECT_EQ(s.schedDaysArray[2], 1);
    EXPECT_EQ(s.fileFoldersArray, bundle.value("folders").toStringList());
    EXPECT_EQ(s.audioTypesArray, sortedCaseInsensitively(bundle.value("audio").toStringList()));
    EXPECT_EQ(s.archYear, "None");
    EXPECT_EQ(s.pathString, home.desktop());
    EXPECT_EQ(s.updatesState, 1);
    EXPECT_EQ(s.packOverwrite, 1);
}

TEST_F(SettingsStoreTest, LoadingAgainDropsUnsavedEdits) {
    StoreRun run(file, home.path());
    run.settings.myFoldersArray.append(home / "added, not saved");
    run.settings.packFromArray.append("x");
    run.settings.packToArray.append("y");
    run.form.hoursStepper = 9;
    run.load(home.path());
    EXPECT_TRUE(run.settings.myFoldersArray.isEmpty());
    EXPECT_TRUE(run.settings.packFromArray.isEmpty());
    EXPECT_EQ(run.form.hoursStepper, 2);
}

TEST(SetTypeArray, CopiesTheSelectedCategoryAndEmptiesForTheArchiveRow) {
    Settings s;
    s.imageTypesArray = {"jpg - JPEG"};
    setTypeArray(s, 4);
    EXPECT_EQ(s.fileTypesArray, QStringList({"jpg - JPEG"}));
    EXPECT_EQ(s.foldersRow, 4);
    setTypeArray(s, -1);
    EXPECT_EQ(s.fileTypesArray, QStringList({"jpg - JPEG"}));
    setTypeArray(s, 0);
    EXPECT_TRUE(s.fileTypesArray.isEmpty());
}

TEST(BundleDefaults, ListNineFoldersEightCategoriesAndTheAppFolders) {
    const BundleDefaults bundle = BundleDefaults::fromResources();
    EXPECT_EQ(bundle.myDefaults.value("folders").toStringList().size(), 9);
    for (const QString& key : typeKeysInStoreOrder) {
        const QStringList entries = bundle.myDefaults.value(key).toStringList();
        EXPECT_FALSE(entries.isEmpty()) << key.toStdString();
        for (const QString& entry : entries)
            EXPECT_TRUE(entry.contains(" - ")) << entry.toStdString();
    }
    for (const char* upper : {"JPG", "JPEG", "PNG", "HEIC"})
        EXPECT_TRUE(bundle.myDefaults.value("image").toStringList().join('\n').contains(
            QString(upper) + " - "));
    EXPECT_TRUE(bundle.myAppDirs.value("appDirs").toStringList().contains("~/.config"));
}

}  // namespace
