#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
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

// The lines of a file as earlier versions wrote it, every key with a value a load must
// read (none is what a missing key gives); flipped turns every flag the other way.
QStringList keyLines(bool flipped = false) {
    const QString on = flipped ? "0" : "1", off = flipped ? "1" : "0";
    return {
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
}

// A file as earlier versions wrote it loads and is saved to a new file as the same lines: a key
// misspelt on either side, or not read, shows. Flags go both ways, so that two swapped
// keys show too.
TEST_F(SettingsStoreTest, EveryKeyLoadsAndIsWrittenAsBefore) {
    for (const bool flipped : {false, true}) {
        const QString on = flipped ? "0" : "1";
        QStringList lines = keyLines(flipped);
        // A name of its own each time: QSettings caches a file's contents by its name.
        const QString before = home / QString("before-%1.conf").arg(on);
        writeFile(before, ("[General]\n" + lines.join('\n') + '\n').toUtf8());
        StoreRun run(before, home.path());
        EXPECT_EQ(run.settings.schedule.timeOfDay(), QTime(7, 45));  // as written, any offset
        const QString after = home / QString("after-%1.conf").arg(on);
        SettingsStore(after).save(run.settings);
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

// The settings as a save would store them, a line per key, to compare and print.
QStringList storedLines(const Settings& settings, const QString& leftOut = {}) {
    QStringList lines;
    for (const auto& [key, value] : SettingsStore::storedForm(settings))
        if (key != leftOut)
            lines << key + "=" +
                         (value.typeId() == QMetaType::QString ? value.toString()
                                                               : value.toStringList().join(", "));
    return lines;
}

QStringList texts(const QList<DamagedSetting>& damaged) {
    QStringList lines;
    for (const DamagedSetting& setting : damaged) lines << setting.key + ": " + setting.line;
    return lines;
}

// A value not of its key's kind costs that key alone: it reads as if missing, is named
// once, and its line is kept in the side file before a save writes over it, once.
TEST_F(SettingsStoreTest, ADamagedKeyIsSetAsideAloneAndTheOthersAreKept) {
    const std::pair<const char*, const char*> damage[] = {
        {"folders", ""},
        {"folders", "@Invalid()"},
        {"folders", "A, B, C"},
        {"folders", "@Rect(1 2 3 4)"},
        {"myfolders", "@ByteArray(/home/a)"},
        {"web", "@Size(1 2)"},
        {"packTo", "@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)"},
        {"archMonth", "03, 04"},
        {"pathString", "@Point(1 2)"},
        {"updatesState", "yes"},
        {"schedDateValue", "tomorrow"},
        {"scheddays", "1, 0, 1"},
        {"schedMonth", "13"},
        {"hoursStep", "lots"},
    };
    int n = 0;
    for (const auto& [key, value] : damage) {
        SCOPED_TRACE(std::string(key) + "=" + value);
        // New names each time: QSettings caches a file's contents by its name.
        const QString good = home / QString("good-%1.conf").arg(++n);
        const QString missing = home / QString("missing-%1.conf").arg(n);
        const QString damaged = home / QString("damaged-%1.conf").arg(n);
        QStringList lines = keyLines();
        const qsizetype at = lines.indexOf(QRegularExpression(QString(key) + "=.*"));
        writeFile(good, ("[General]\n" + lines.join('\n') + '\n').toUtf8());
        const QString line = QString(key) + "=" + value;
        lines[at] = line;
        writeFile(damaged, ("[General]\n" + lines.join('\n') + '\n').toUtf8());
        lines.removeAt(at);
        writeFile(missing, ("[General]\n" + lines.join('\n') + '\n').toUtf8());

        Settings fromGood, fromMissing, fromDamaged;
        SettingsStore(good).load(fromGood, bundle, home.path());
        SettingsStore(missing).load(fromMissing, bundle, home.path());
        SettingsStore store(damaged);
        store.load(fromDamaged, bundle, home.path());
        EXPECT_EQ(storedLines(fromDamaged, key), storedLines(fromGood, key));
        EXPECT_EQ(storedLines(fromDamaged), storedLines(fromMissing));
        EXPECT_EQ(texts(store.damagedSettings()), QStringList(QString(key) + ": " + line + "\n"));
        EXPECT_EQ(store.takeDamageReport(),
                  QString("The setting “%1” in “%2” could not be read and is left out; the "
                          "other settings are kept. Its line goes to “%2.set-aside” before the "
                          "file is next written.")
                      .arg(key, damaged));
        EXPECT_EQ(store.takeDamageReport(), "");  // once

        store.save(fromDamaged);
        store.save(fromDamaged);
        const QByteArray aside = readFile(damaged + ".set-aside");
        EXPECT_EQ(aside.count(line.toUtf8() + '\n'), 1) << aside.data();
        EXPECT_TRUE(aside.startsWith("# ")) << aside.data();
        SettingsStore again(freshCopy(damaged));
        Settings reread;
        again.load(reread, bundle, home.path());
        EXPECT_EQ(texts(again.damagedSettings()), QStringList());
        EXPECT_EQ(storedLines(reread), storedLines(fromDamaged));
    }
}

// Where the damaged key's line cannot be kept, the save leaves it in the file.
TEST_F(SettingsStoreTest, ADamagedLineThatCannotBeSetAsideStaysInTheFile) {
    QStringList lines = keyLines();
    lines[1] = "myfolders=@ByteArray(/home/a)";
    writeFile(file, ("[General]\n" + lines.join('\n') + '\n').toUtf8());
    makeFolder(file + ".set-aside");  // a folder in the side file's way
    SettingsStore store(file);
    Settings settings;
    store.load(settings, bundle, home.path());
    settings.archiveDate.year = "2012";
    store.save(settings);
    const QByteArray written = readFile(file);
    EXPECT_TRUE(written.contains("\nmyfolders=@ByteArray(/home/a)\n")) << written.data();
    EXPECT_TRUE(written.contains("\narchYear=2012\n")) << written.data();
}

// Only a file without any key is a first start; a missing folder list gives the
// bundle's names and keeps everything else.
TEST_F(SettingsStoreTest, OnlyAFileWithoutKeysTakesTheDefaultsPath) {
    for (const bool firstStart : {true, false}) {
        QStringList lines = keyLines();
        lines.removeFirst();
        writeFile(file, firstStart ? "[General]\n" : ("[General]\n" + lines.join('\n')).toUtf8());
        Settings settings;
        settings.listedFolders = {"/kept in memory"};
        SettingsStore store(freshCopy(file));
        store.load(settings, bundle, home.path());
        EXPECT_EQ(settings.folderNames, bundle.value("folders").toStringList());
        EXPECT_EQ(texts(store.damagedSettings()), QStringList());
        if (firstStart) {
            EXPECT_EQ(settings.types(Category::Image),
                      sortedCaseInsensitively(bundle.value("image").toStringList()));
            EXPECT_EQ(settings.listedFolders, QStringList({"/kept in memory"}));
            EXPECT_TRUE(settings.checkForUpdates);
        } else {
            EXPECT_EQ(settings.types(Category::Image), QStringList({"image - mine", "zz - image"}));
            EXPECT_EQ(settings.listedFolders,
                      QStringList({"/home/a/Schreibtisch", "/home/a/Fotos, 2024 \"neu\" @ 100%"}));
        }
    }
}

TEST_F(SettingsStoreTest, AFileDamagedByHandStillGivesAUsableStore) {
    const QByteArray damaged[] = {
        QByteArray("\x00\xff\xfe garbage [[[ \n=\n\x01\x02", 18),
        "[General\nfolders=@ByteArray(\n",
    };
    for (const QByteArray& bytes : damaged) {
        writeFile(file, bytes);
        StoreRun run(file, home.path());
        EXPECT_EQ(run.settings.folderNames.size(), 9);
        // What was written is read back as it was.
        StoreRun again(file, home.path());
        EXPECT_EQ(again.settings, run.settings);
        QFile::remove(file);
    }
}

}  // namespace
