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
#include "support/qstring_printer.h"
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

// A file as earlier versions wrote it, every key with a value a load must read (none is
// what a missing key gives), loads and is saved to a new file as the same lines: a key
// misspelt on either side, or not read, shows. Flags go both ways, so that two swapped
// keys show too. A folder list that is not nine names costs nothing but the folder names.
TEST_F(SettingsStoreTest, EveryKeyLoadsAndIsWrittenAsBeforeAndADamagedFolderListLosesOnlyItself) {
    const QString defaultFolders =
        "folders=Archive, Audio, Compressed, Data, Images, Layouts, Videos, Web, Words";
    for (const bool damagedFolders : {false, true}) {
        const QString on = damagedFolders ? "0" : "1", off = damagedFolders ? "1" : "0";
        QStringList lines = {
            "folders=Archive, Audio, Compressed, Data, Bilder, Layouts, Videos, Web, Words",
            "myfolders=/home/a/Schreibtisch, \"/home/a/Fotos, 2024 \\\"neu\\\" @ 100%\"",
            "web=web - mine, zz - web",
            "compressed=compressed - mine, zz - compressed",
            "layout=layout - mine, zz - layout",
            "data=data - mine, zz - data",
            "image=image - mine, zz - image",
            "words=words - mine, zz - words",
            "video=video - mine, zz - video",
            "audio=audio - mine, zz - audio",
            "packFrom=/home/a/ünïcödé/日本",
            "packTo=/media/stick",
            "unpackFrom=/media/stick/日本, /media/stick/b",
            "unpackTo=/home/a/ünïcödé, /home/a/b",
            "archMonth=03",
            "archDay=14",
            "archYear=2011",
            "pathString=/home/a/Été",
            "updatesState=" + on,
            "schedDateValue=2010-05-01 07:45:00 +0200",
            "scheddays=0, 0, 1, 0, 0, 0, 1, 0",
            "schedMonth=3",
            "schedMday=17",
            "setByDay=" + on,
            "hoursStep=5",
            "hoursState=" + on,
            "packOverwrite=" + on,
            "unpackOverwrite=" + off,
            "watchSettle=2.5",
        };
        if (damagedFolders) lines[0] = "folders=A, B, C, D, E";
        // A name of its own each time: QSettings caches a file's contents by its name.
        const QString before = home / QString("before-%1.conf").arg(on);
        writeFile(before, ("[General]\n" + lines.join('\n') + '\n').toUtf8());
        StoreRun run(before, home.path());
        EXPECT_EQ(run.settings.schedule.timeOfDay(), QTime(7, 45));  // as written, any offset
        const QString after = home / QString("after-%1.conf").arg(on);
        SettingsStore(after).save(run.settings);
        if (damagedFolders) lines[0] = defaultFolders;
        QStringList written = QString::fromUtf8(readFile(after)).split('\n', Qt::SkipEmptyParts);
        written.removeOne("[General]");
        lines.sort();
        written.sort();
        EXPECT_EQ(written, lines);
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
