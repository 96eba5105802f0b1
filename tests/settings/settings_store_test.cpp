#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

#include "platform/property_list.h"
#include "settings/bundle_defaults.h"
#include "settings/settings_store.h"
#include "support/temp_home.h"

namespace {

// One run of the program's start-up as far as the store goes: load, then save.
struct StoreRun {
    Settings settings;
    SetupForm form;
    std::unique_ptr<SettingsStore> store;

    StoreRun(const QString& file, const QString& home) : store(std::make_unique<SettingsStore>(file)) {
        store->load(settings, form, BundleDefaults::fromResources().myDefaults, home);
        store->save(settings, form);
    }
    void load(const QString& home) {
        store->load(settings, form, BundleDefaults::fromResources().myDefaults, home);
    }
};

QStringList sortedCaseInsensitively(QStringList list) {
    std::stable_sort(list.begin(), list.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return list;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    TempHome home;
    QString file = home.configFile();
    QVariantMap bundle = BundleDefaults::fromResources().myDefaults;
};

TEST_F(SettingsStoreTest, FirstStartFillsEveryKeyFromTheDefaults) {
    StoreRun run(file, home.path());
    const Settings& s = run.settings;
    EXPECT_EQ(s.fileFoldersArray, bundle.value("folders").toStringList());
    EXPECT_EQ(s.fileFoldersArray.size(), 9);
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
    EXPECT_EQ(s.schedDaysArray.size(), 8);
    // The category table selects the audio row and shows its types.
    EXPECT_EQ(run.form.folderTableViewSelectedRow, 1);
    EXPECT_EQ(s.fileTypesArray, s.audioTypesArray);

    QSettings onDisk(file, QSettings::IniFormat);
    for (const QString& key : SettingsStore::keys) EXPECT_TRUE(onDisk.contains(key)) << key.toStdString();
}

TEST_F(SettingsStoreTest, EveryKeyRoundTripsThroughASecondStart) {
    {
        StoreRun first(file, home.path());
        Settings& s = first.settings;
        SetupForm& f = first.form;
        s.myFoldersArray = {home / "Schreibtisch", home / "Fotos, 2024 \"neu\" @ 100%"};
        s.wordsTypesArray = {"docx - Word", "txt - Text, plain"};
        s.packFromArray = {home / "ünïcödé/日本"};
        s.packToArray = {"/media/stick"};
        s.unpackFromArray = {"/media/stick/日本"};
        s.unpackToArray = {home / "ünïcödé"};
        s.fileFoldersArray[4] = "Bilder";
        f.archiveMo = "3";
        f.archiveDa = "14";
        f.archiveYr = "2011";
        f.updatesCheck = false;
        f.myPathControl = home / "Été";
        f.schedTime = QDateTime(QDate(2010, 5, 1), QTime(7, 45));
        f.schedAll = false;
        f.schedMon = f.schedFri = true;
        f.byDayMonth = 1;
        f.schedMonthButton = 3;
        f.schedMdayButton = 17;
        f.hoursStepper = 5;
        f.everyHourCheck = true;
        first.store->save(s, f);
    }
    StoreRun second(file, home.path());
    const Settings& s = second.settings;
    EXPECT_EQ(s.myFoldersArray, QStringList({home / "Schreibtisch", home / "Fotos, 2024 \"neu\" @ 100%"}));
    EXPECT_EQ(s.wordsTypesArray, QStringList({"docx - Word", "txt - Text, plain"}));
    EXPECT_EQ(s.packFromArray, QStringList({home / "ünïcödé/日本"}));
    EXPECT_EQ(s.unpackToArray, QStringList({home / "ünïcödé"}));
    EXPECT_EQ(s.fileFoldersArray[4], "Bilder");
    EXPECT_EQ(s.archMonth, "3");
    EXPECT_EQ(s.archDay, "14");
    EXPECT_EQ(s.archYear, "2011");
    EXPECT_EQ(s.updatesState, 0);
    EXPECT_EQ(s.pathString, home / "Été");
    EXPECT_EQ(s.schedHour, 7);
    EXPECT_EQ(s.schedMin, 45);
    EXPECT_EQ(s.schedDaysArray, QList<int>({0, 0, 1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(s.setByDay, 0);
    EXPECT_EQ(s.schedMonth, 3);
    EXPECT_EQ(s.schedMday, 17);
    EXPECT_EQ(s.hoursStep, 5);
    EXPECT_EQ(s.hoursState, 1);
    // And the controls show them again.
    const SetupForm& f = second.form;
    EXPECT_EQ(f.schedTime.time(), QTime(7, 45));
    EXPECT_TRUE(f.schedMon && f.schedFri && !f.schedAll && !f.schedSun);
    EXPECT_EQ(f.byDayMonth, 1);
    EXPECT_EQ(f.schedMonthButton, 3);
    EXPECT_EQ(f.hoursStepper, 5);
    EXPECT_TRUE(f.everyHourCheck);
    EXPECT_EQ(f.myPathControl, home / "Été");
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

TEST_F(SettingsStoreTest, AMissingOrUnusableFolderListTakesTheDefaultsPath) {
    for (const QVariant& folders : {QVariant(), QVariant(QStringList{"a", "b", "c"}),
                                    QVariant(QStringList{"1", "2", "3", "4", "", "6", "7", "8", "9"}),
                                    QVariant(QString("just text"))}) {
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

        StoreRun again(file, home.path());
        EXPECT_EQ(again.settings.fileFoldersArray.size(), 9);
        EXPECT_EQ(again.settings.imageTypesArray, sortedCaseInsensitively(bundle.value("image").toStringList()));
        // The stored folder list is not read on this path: the save overwrites it.
        EXPECT_TRUE(again.settings.myFoldersArray.isEmpty());
        QFile::remove(file);
    }
}

TEST_F(SettingsStoreTest, AFileDamagedByHandStillGivesAUsableStore) {
    const QByteArray damaged[] = {
        QByteArray("\x00\xff\xfe garbage [[[ \n=\n\x01\x02", 18),
        "[General]\nfolders=Archive, Audio, Compressed, Data, Images, Layouts, Videos, Web, Words\n"
        "scheddays=1, 0, 1\nhoursStep=lots\nupdatesState=@Variant(\\0\\0\\0\\x7f)\npathString=a, b\n"
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
        for (const QString& entry : entries) EXPECT_TRUE(entry.contains(" - ")) << entry.toStdString();
    }
    for (const char* upper : {"JPG", "JPEG", "PNG", "HEIC"})
        EXPECT_TRUE(bundle.myDefaults.value("image").toStringList().join('\n').contains(QString(upper) + " - "));
    EXPECT_TRUE(bundle.myAppDirs.value("appDirs").toStringList().contains("~/.config"));
}

}  // namespace
