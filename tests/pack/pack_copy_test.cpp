#include "pack/pack_copy.h"

#include <gtest/gtest.h>

#include <QFile>

#include "support/qstring_printer.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"
#include "tree_helpers.h"

namespace {

class PackCopyTest : public ::testing::Test {
  protected:
    TempHome home;
    ScriptedPrompter prompter;
    RecordingNotifier notifier;
    CopyFaultFileSystem files;
    QString documents = home / "Documents";
    QString stick = home / "Stick";
    QStringList fromArray, toArray;
    RunReport report;

    void SetUp() override {
        buildSampleTree(documents + "/Taxes", home / "Elsewhere");
        writeFile(documents + "/notes.txt", "notes");
        makeFolder(stick);
    }
    void addRow(const QString& from, const QString& to) {
        fromArray << from;
        toArray << to;
    }
    RunResult run(bool replace, const CopyRunTexts& texts = CopyRunTexts::pack()) {
        return copyStashery(texts, CopyList::fromTexts(fromArray, toArray, replace),
                            {prompter, notifier, files}, &report);
    }
    QStringList fileErrors() const { return prompter.callsStartingWith("fileError|"); }
};

TEST_F(PackCopyTest, ConfirmsThenCopiesEveryRowAndEndsWithTheNotificationAndNotice) {
    addRow(documents + "/Taxes", stick);
    addRow(documents + "/notes.txt", stick + "/");  // a trailing "/" gives a single one
    EXPECT_EQ(run(true), RunResult::Done);
    EXPECT_EQ(prompter.calls,
              (QStringList{"confirm|Pack these files?|Desktidy will copy all of the files and "
                           "folders listed in the Pack Stashery Setup, to the listed locations.|OK",
                           "progress|Copying...", "itemVisible|1", "item|",
                           "item|" + stick + "/Taxes", "item|" + stick + "/notes.txt", "close",
                           "notice|All done packing your files for the road."}));
    EXPECT_TRUE(notifier.posted.last().endsWith("|Done Packing"));
    // Replaced whole, keeping contents, times, permissions and links; outside links not followed.
    EXPECT_EQ(describeTree(stick + "/Taxes"), describeTree(documents + "/Taxes"));
    EXPECT_FALSE(QFile::exists(stick + "/Taxes/not-to-copy.txt"));
    EXPECT_EQ(readFile(stick + "/notes.txt"), "notes");

    prompter.calls.clear();  // an empty unpack list still ends with both
    EXPECT_EQ(copyStashery(CopyRunTexts::unpack(), CopyList{{}, true}, {prompter, notifier, files},
                           &report),
              RunResult::Done);
    EXPECT_EQ(resultLine(report), "Nothing was unpacked.");
    EXPECT_EQ(prompter.calls.first().section(u'|', 0, 1), "confirm|Unpack these files?");
    EXPECT_EQ(prompter.calls.last(), "notice|All done unpacking your files from the road.");
    EXPECT_TRUE(notifier.posted.last().endsWith("|Done Unpacking"));
}

TEST_F(PackCopyTest, WithReplaceOffDecliningTheQuestionSkipsThatRowOnly) {
    writeFile(stick + "/notes.txt", "old notes");
    writeFile(stick + "/Taxes/only-in-old.txt", "old");
    addRow(documents + "/notes.txt", stick);
    addRow(documents + "/Taxes", stick);
    prompter.confirmAnswers = {true, false, true};  // OK, Cancel, Overwrite
    EXPECT_EQ(run(false), RunResult::Done);
    EXPECT_EQ(prompter
                  .callsStartingWith("confirm|Overwrite this file?|" + stick +
                                     "/notes.txt "
                                     "exists.  Do you want to overwrite it?|Overwrite")
                  .size(),
              1);
    EXPECT_EQ(readFile(stick + "/notes.txt"), "old notes");
    EXPECT_EQ(resultLine(report), "Packed 1 item. 1 not copied: 1 name taken.");
    // Replacing is never a merge: files only in the old folder are gone.
    EXPECT_EQ(describeTree(stick + "/Taxes"), describeTree(documents + "/Taxes"));
    EXPECT_EQ(notifier.posted.size(), 1);
}

TEST_F(PackCopyTest, AFailedRowIsReportedItsOldCopyStaysAndTheNextRowRuns) {
    writeFile(stick + "/Unplugged/keep.txt", "keep");
    addRow(home / "Media/Unplugged", stick);
    addRow(documents + "/notes.txt", stick);
    EXPECT_EQ(run(true), RunResult::Failed);
    EXPECT_EQ(fileErrors(), QStringList{"fileError|\u201c" + home / "Media/Unplugged" +
                                        "\u201d was not copied to \u201c" + stick +
                                        "\u201d. Could not copy \u201cUnplugged\u201d: No such "
                                        "file or directory."});
    EXPECT_EQ(readFile(stick + "/Unplugged/keep.txt"), "keep");
    EXPECT_EQ(readFile(stick + "/notes.txt"), "notes");
    EXPECT_TRUE(notifier.posted.isEmpty());  // it would say every item was copied
    EXPECT_EQ(prompter.calls.last(), "notice|1 item was not copied.");
    EXPECT_EQ(resultLine(report), "Packed 1 item. 1 not copied: 1 failed.");
}

TEST_F(PackCopyTest, StopEndsTheRunAtOnceAndKeepsWhatWasCopied) {
    addRow(documents + "/notes.txt", stick);
    addRow(home / "missing", stick);
    addRow(documents + "/Taxes", stick);
    prompter.fileErrorAnswers = {FileErrorChoice::Stop};
    EXPECT_EQ(run(true), RunResult::Cancelled);
    EXPECT_EQ(prompter.calls.last(), "close");
    EXPECT_TRUE(notifier.posted.isEmpty());
    EXPECT_TRUE(QFile::exists(stick + "/notes.txt"));
    EXPECT_FALSE(QFile::exists(stick + "/Taxes"));
}

TEST_F(PackCopyTest, RowsThatWouldCopyOntoOrIntoThemselvesAreRefusedAndTheSourcesKept) {
    writeFile(documents + "/Inner/Inner/file.txt", "inner");
    const QStringList before = describeTree(documents);
    addRow(documents + "/notes.txt", documents);                  // its own copy path
    addRow(documents + "/Taxes/../notes.txt", documents + "//");  // the same, spelled otherwise
    addRow(documents + "/Taxes", documents + "/Taxes/docs");      // into itself
    addRow(documents + "/Inner/Inner", documents);  // replacing the folder that holds it
    addRow(documents + "/Taxes/.", stick);          // names no item: would be stick itself
    addRow("", stick);
    addRow(documents + "/notes.txt", "");
    addRow(documents + "/notes.txt", stick);
    EXPECT_EQ(run(true), RunResult::Failed);
    EXPECT_EQ(resultLine(report), "Packed 1 item. 7 not copied: 7 not allowed.");
    EXPECT_EQ(fileErrors().size(), 7);
    EXPECT_EQ(prompter.calls.last(), "notice|7 items were not copied.");
    EXPECT_EQ(describeTree(documents), before);
    EXPECT_EQ(readFile(stick + "/notes.txt"), "notes");
}

// A row first removes what stopped runs left of its own copy, and only that; a row whose
// copy is in place says so, whatever else failed.
TEST_F(PackCopyTest, ARowRemovesItsLeftoverCopiesAndTellsOnlyWhatHappened) {
    const QString partial = stick + "/.Taxes.desktidy-partial-00000000000000ff";
    const QString stuck = stick + "/.notes.txt.desktidy-partial-0123456789abcdef";
    writeFile(partial + "/half.bin", "half");
    writeFile(stuck + "/mounted/on-disk.txt", "keep me");
    files.otherFileSystems << stuck + "/mounted";
    const QStringList others = {".Other.desktidy-partial-00000000000000ff",
                                ".Taxes.desktidy-old-00000000000000ff",
                                "Taxes.desktidy-partial-00000000000000ff"};
    for (const QString& name : others) writeFile(stick + "/" + name, "not ours to remove");
    writeFile(documents + "/Inner/new.txt", "new");
    writeFile(stick + "/Inner/old.txt", "old");
    files.failRemoveAllOf = "/.Inner.desktidy-partial-";  // the replaced old version stays
    addRow(documents + "/Taxes", stick);
    addRow(documents + "/notes.txt", stick);
    addRow(documents + "/Inner", stick);
    EXPECT_EQ(run(true), RunResult::Failed);

    QStringList names = displayed(files.listNames(asPath(stick), true));
    const QString oldInner = stick + "/" + names.takeFirst();
    ASSERT_TRUE(oldInner.startsWith(stick + "/.Inner.desktidy-partial-"));
    EXPECT_EQ(names, QStringList({others[0], others[1], stuck.section('/', -1), "Inner", "Taxes",
                                  others[2], "notes.txt"}));
    EXPECT_EQ(readFile(stuck + "/mounted/on-disk.txt"), "keep me");
    EXPECT_EQ(readFile(oldInner + "/old.txt"), "old");
    EXPECT_EQ(displayed(files.listNames(asPath(stick + "/Inner"), true)), QStringList{"new.txt"});
    EXPECT_EQ(describeTree(stick + "/Taxes"), describeTree(documents + "/Taxes"));
    EXPECT_EQ(readFile(stick + "/notes.txt"), "notes");
    EXPECT_EQ(
        fileErrors(),
        QStringList({"fileError|\u201c" + documents + "/notes.txt\u201d was copied to \u201c" +
                         stick + "\u201d. A partial copy left by an earlier run, \u201c" + stuck +
                         "\u201d, could not be removed. \u201c" + stuck +
                         "/mounted\u201d is the mount point of another file system, which "
                         "is never removed with the folder around it.",
                     "fileError|\u201c" + stick +
                         "/Inner\u201d has been replaced, but its "
                         "old version could not be removed completely; what is left of it "
                         "is in \u201c" +
                         oldInner + "\u201d. Could not remove \u201c" + oldInner.section('/', -1) +
                         "\u201d: Permission denied."}));
    EXPECT_EQ(prompter.calls.last(), "notice|All done packing your files for the road.");
}

}  // namespace
