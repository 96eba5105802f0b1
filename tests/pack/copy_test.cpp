#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "pack/pack_copy.h"
#include "platform/copy_tree.h"
#include "support/faulty_file_system.h"
#include "support/qstring_printer.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"
#include "support/tree_listing.h"

namespace {

// The file system with copy failures on request.
class CopyFaultFileSystem : public FaultyFileSystem {
  public:
    int exchangeError = 0;    // when not 0, exchange fails with this errno
    QString failFirstMoveTo;  // the first move onto this path fails with EIO
    QString failReadFolder;   // reading this folder fails with EACCES
    QString failRemoveAllOf;  // removeAll of a path containing this fails with EACCES

    FileError readFolder(const Path& folder, NameList& names) override {
        if (textOf(folder) == failReadFolder) return FileError::fromErrno(EACCES, folder, "read");
        return LocalFileSystem::readFolder(folder, names);
    }
    FileError moveNoReplace(const Path& from, const Path& to) override {
        if (textOf(to) != failFirstMoveTo) return FaultyFileSystem::moveNoReplace(from, to);
        failFirstMoveTo.clear();
        return FileError::fromErrno(EIO, to, "move");
    }
    FileError removeAll(const Path& path) override {
        if (!failRemoveAllOf.isEmpty() && textOf(path).contains(failRemoveAllOf))
            return FileError::fromErrno(EACCES, path, "remove");
        return LocalFileSystem::removeAll(path);
    }
    FileError exchange(const Path& first, const Path& second) override {
        if (exchangeError) return FileError::fromErrno(exchangeError, second, "replace");
        return LocalFileSystem::exchange(first, second);
    }
};

QByteArray native(const QString& path) { return QFile::encodeName(path); }

// Everything a copy must keep: the root and every item below it with their permissions and
// times, the contents of files and the targets of links.
QStringList treeOf(const Path& root) { return describeTree(root, TreeDetail::Everything); }
QStringList treeOf(const QString& root) { return treeOf(asPath(root)); }

// A folder with what a copy must keep: nested, empty and read-only folders, a hidden file,
// odd permissions and times, a pipe, a relative link, a dangling link and a link to a
// folder outside the tree (which must not be followed).
void buildSampleTree(const QString& root, const QString& outsideFolder) {
    writeFile(outsideFolder + "/not-to-copy.txt", "outside");
    writeFile(root + "/a.txt", "alpha");
    writeFile(root + "/.hidden", "hidden");
    writeFile(root + "/docs/2019/receipt.pdf", QByteArray(300000, 'r'));
    writeFile(root + "/locked/note.txt", "note");
    makeFolder(root + "/docs/empty");
    ::chmod(native(root + "/a.txt").constData(), 0750);
    ::chmod(native(root + "/locked/note.txt").constData(), 0400);
    ::mkfifo(native(root + "/pipe").constData(), 0640);
    ::symlink("../a.txt", native(root + "/docs/link-to-a").constData());
    ::symlink(native(outsideFolder).constData(), native(root + "/outside").constData());
    ::symlink("nowhere", native(root + "/dangling").constData());
    // Items first, folders last (adding items changes a folder's time), with nanoseconds.
    struct timespec t[2] = {{1000000000, 123456789}, {1000000000, 123456789}};
    for (const char* item :
         {"a.txt", ".hidden", "docs/2019/receipt.pdf", "pipe", "docs/link-to-a", "outside",
          "dangling", "locked/note.txt", "docs/2019", "docs/empty", "docs", "locked", ""}) {
        t[0].tv_sec = t[1].tv_sec += 1000;
        ::utimensat(AT_FDCWD, native(root + "/" + item).constData(), t, AT_SYMLINK_NOFOLLOW);
    }
    ::chmod(native(root + "/locked").constData(), 0555);
}

// Documents holding the sample tree and a note; a stick holding an old copy of the tree.
class CopyTest : public ::testing::Test {
  protected:
    TempHome home;
    ScriptedPrompter prompter;
    RecordingObserver observer;
    CopyFaultFileSystem files;
    QString documents = home / "Documents", source = documents + "/Taxes";
    QString stick = home / "Stick", copy = stick + "/Taxes";
    QStringList fromArray, toArray;
    CopyOutcome outcome;
    const RunReport& report = outcome.report;

    void SetUp() override {
        buildSampleTree(source, home / "Elsewhere");
        writeFile(documents + "/notes.txt", "notes");
        writeFile(copy + "/only-in-old.txt", "old");
    }
    QStringList namesOnStick() { return displayed(files.listNames(asPath(stick), true)); }
    ReplaceOutcome replace(const QString& from, const QString& to) {
        return copyReplacing(files, asPath(from), asPath(to));
    }
    void addRow(const QString& from, const QString& to) {
        fromArray << from;
        toArray << to;
    }
    RunResult run(bool replace, const CopyRunTexts& texts = CopyRunTexts::pack()) {
        const RunPlan plan =
            planCopies(CopyList::fromTexts(fromArray, toArray, replace), files, texts.kind);
        return copyStashery(texts, plan, replace, {prompter, files, observer}, outcome);
    }
    QStringList fileErrors() const { return prompter.callsStartingWith("fileError|"); }
};

TEST_F(CopyTest, SetIdBitsStayOnlyWhenTheCopyHasTheSameOwner) {
    const QByteArray mine = QFile::encodeName(writeFile(home / "mine"));
    const QByteArray theirs = QFile::encodeName(writeFile(home / "theirs"));
    ASSERT_EQ(::chown(theirs.constData(), 4321, 4321), 0);
    ::chmod(mine.constData(), 06755);
    ::chmod(theirs.constData(), 06755);
    ASSERT_TRUE(copyTree(files, asPath(home / "mine"), asPath(stick + "/mine")).ok());
    ASSERT_TRUE(copyTree(files, asPath(home / "theirs"), asPath(stick + "/theirs")).ok());
    struct stat st;
    ::stat(QFile::encodeName(stick + "/mine").constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 06755u);
    ::stat(QFile::encodeName(stick + "/theirs").constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
}

// Whatever fails, the old copy stays as it was and nothing half-copied is left: a missing
// source, an unreadable folder (never taken as an empty one), a copy into itself, a full
// disk, an old copy holding another file system, and, without an atomic swap, a finished
// copy that cannot be moved in. Without the swap a copy that works still replaces the old.
TEST_F(CopyTest, AFailureAnywhereKeepsTheOldCopyAsItWas) {
    const QStringList old = treeOf(copy);
    EXPECT_EQ(replace(home / "Unplugged", copy).error.code, ENOENT);
    files.failReadFolder = source + "/docs/2019";
    EXPECT_EQ(replace(source, copy).error.code, EACCES);
    files.failReadFolder.clear();
    EXPECT_EQ(copyTree(files, asPath(source), asPath(source + "/docs/Taxes")).code, EINVAL);
    files.failCopiesAfter = 3;
    EXPECT_EQ(replace(source, copy).error.code, ENOSPC);
    files.failCopiesAfter = -1;
    EXPECT_EQ(treeOf(copy), old);

    const QString held = stick + "/Held";  // an old copy holding another file system
    writeFile(held + "/mounted/on-stick.txt", "keep me");
    writeFile(held + "/only-in-old.txt", "old");
    files.otherFileSystems << held + "/mounted";
    const ReplaceOutcome outcome = replace(source, held);
    EXPECT_EQ(std::tuple(outcome.error.code, outcome.error.path, outcome.copied),
              std::tuple(EXDEV, asPath(held + "/mounted"), false));
    EXPECT_EQ(readFile(held + "/mounted/on-stick.txt") + readFile(held + "/only-in-old.txt"),
              "keep meold");

    files.exchangeError = EINVAL;  // as on a FAT stick
    files.failFirstMoveTo = copy;
    EXPECT_EQ(replace(source, copy).error.code, EIO);
    EXPECT_EQ(treeOf(copy), old);
    EXPECT_EQ(namesOnStick(), QStringList({"Held", "Taxes"}));
    ASSERT_TRUE(replace(source, copy).error.ok());
    EXPECT_EQ(treeOf(copy), treeOf(source));
    EXPECT_EQ(namesOnStick(), QStringList({"Held", "Taxes"}));
}

// The partial copies of a stopped run are told by the exact name a copy in progress gets,
// and only for the same item, however long its name.
TEST_F(CopyTest, LeftoverCopiesAreOnlyTheSameItemsCopiesInProgress) {
    const QString longName = QString(118, u'\u00e9') + "-a";  // 238 bytes: too long to keep
    const QString otherLong = QString(118, u'\u00e9') + "-b";
    QStringList inProgress;
    for (const QString& name : {QStringLiteral("New"), longName, otherLong}) {
        writeFile(home / name, "x");
        files.movesMade.clear();
        ASSERT_TRUE(replace(home / name, stick + "/" + name).error.ok());
        ASSERT_EQ(files.movesMade.size(), 1);  // the finished copy moved in
        inProgress << files.movesMade[0].section(" -> ", 0, 0);
        makeFolder(inProgress.last());  // as if the run had stopped before that
    }
    EXPECT_TRUE(inProgress[0].startsWith(stick + "/.New.desktidy-partial-"));
    for (const char* name :
         {".Taxes.desktidy-partial-0123456789abcdef", ".Taxes.desktidy-partial-0123456789ABCDEF",
          ".Taxes.desktidy-partial-0123456789abcde", ".Taxes.desktidy-partial-0123456789abcdef0",
          ".Taxes.desktidy-old-0123456789abcdef", "Taxes.desktidy-partial-0123456789abcdef",
          ".Taxes2.desktidy-partial-0123456789abcdef", ".Taxes.desktidy-0123456789abcdef"})
        writeFile(stick + "/" + QString::fromUtf8(name));
    auto leftovers = [&](const QString& copyPath) {
        return displayed(leftoverCopiesOf(files, asPath(copyPath)));
    };
    EXPECT_EQ(leftovers(copy), QStringList({stick + "/.Taxes.desktidy-partial-0123456789abcdef"}));
    EXPECT_EQ(leftovers(stick + "/New"), QStringList{inProgress[0]});
    EXPECT_EQ(leftovers(stick + "/" + longName), QStringList{inProgress[1]});
    EXPECT_EQ(leftovers(stick + "/" + otherLong), QStringList{inProgress[2]});
}

// Names are bytes: a tree holding names that are not UTF-8, and the UTF-8 names they would
// read as, is copied whole, each item as itself, and its partial copies are found by them.
TEST_F(CopyTest, CopiesEveryNameByItsBytes) {
    const Path from = asPath(home / "Odd"), to = asPath(stick) / "Odd";
    ASSERT_TRUE(files.makeDirectory(from).ok());
    for (const QByteArray& name : {QByteArray("\xFF"), QByteArray("\xEF\xBF\xBD"),
                                   QByteArray("line\nbreak"), QByteArray(255, '\xE9')})
        writeItem(from / name, name);
    ASSERT_TRUE(files.makeDirectory(from / "d\xFE").ok());
    ASSERT_EQ(::symlink("../\xFF", (from / "d\xFE/link\xFF").c_str()), 0);
    ASSERT_TRUE(copyReplacing(files, from, to).error.ok());
    EXPECT_EQ(treeOf(to), treeOf(from));
    EXPECT_EQ(treeOf(to).size(), 7);  // nothing merged with another name
    EXPECT_EQ(namesOnStick(), QStringList({"Odd", "Taxes"}));

    const Path odd = asPath(stick) / "r\xFF";
    const Path partial = asPath(stick) / ".r\xFF.desktidy-partial-0123456789abcdef";
    ASSERT_TRUE(files.makeDirectory(partial).ok());
    ASSERT_TRUE(
        files.makeDirectory(asPath(stick) / ".r\xFE.desktidy-partial-0123456789abcdef").ok());
    EXPECT_EQ(leftoverCopiesOf(files, odd), QList<Path>{partial});
}

// Without replacing, each taken name is asked about, and declining skips that row only;
// replacing copies every row without a question. Either ends with the notification and
// the notice, an empty list too.
TEST_F(CopyTest, CopiesEveryRowAskingFirstWhereANameIsTakenUnlessReplacing) {
    writeFile(stick + "/notes.txt", "old notes");
    addRow(documents + "/notes.txt", stick + "/");  // a trailing "/" gives a single one
    addRow(documents + "/Taxes", stick);
    prompter.confirmAnswers = {false, true};  // Cancel, Overwrite
    EXPECT_EQ(run(false), RunResult::Done);
    EXPECT_EQ(prompter
                  .callsStartingWith("confirm|Overwrite this file?|" + stick +
                                     "/notes.txt "
                                     "exists.  Do you want to overwrite it?|Overwrite")
                  .size(),
              1);
    EXPECT_EQ(readFile(stick + "/notes.txt"), "old notes");
    EXPECT_EQ(resultLine(report), "Packed 1 item. 1 not copied: 1 name taken.");
    // Replaced whole, keeping contents, times, permissions and links; outside links not
    // followed. Replacing is never a merge: files only in the old folder are gone.
    EXPECT_EQ(treeOf(copy), treeOf(source));
    EXPECT_FALSE(QFile::exists(copy + "/not-to-copy.txt"));
    EXPECT_TRUE(outcome.notifyDone);

    observer.calls.clear();
    EXPECT_EQ(run(true), RunResult::Done);
    EXPECT_EQ(observer.calls, (QStringList{"pass|Copying...|2", "item|1/2|" + stick + "/notes.txt",
                                           "item|2/2|" + copy, "end"}));
    EXPECT_EQ(outcome.closingNotice, "All done packing your files for the road.");
    EXPECT_TRUE(outcome.notifyDone);
    EXPECT_EQ(readFile(stick + "/notes.txt"), "notes");
    EXPECT_EQ(treeOf(copy), treeOf(source));

    EXPECT_EQ(copyStashery(CopyRunTexts::unpack(), RunPlan{RunKind::Unpack}, true,
                           {prompter, files, observer}, outcome),
              RunResult::Done);
    EXPECT_EQ(resultLine(report), "Nothing was unpacked.");
    EXPECT_EQ(outcome.closingNotice, "All done unpacking your files from the road.");
    EXPECT_TRUE(outcome.notifyDone);
}

// A source that is gone (a stick unplugged) is told by name, as the preview shows it, and
// its old copy stays. Stop ends the run at once, keeping what was copied; going on runs the
// rows after it.
TEST_F(CopyTest, AMissingRowIsReportedAndStopEndsTheRunWhereGoingOnRunsTheNextRows) {
    writeFile(stick + "/Unplugged/keep.txt", "keep");
    addRow(documents + "/notes.txt", stick);
    addRow(home / "Media/Unplugged", stick);
    addRow(documents + "/Taxes", stick);
    prompter.fileErrorAnswers = {FileErrorChoice::Stop};
    EXPECT_EQ(run(true), RunResult::Cancelled);
    EXPECT_EQ(observer.calls.last(), "end");
    EXPECT_FALSE(outcome.notifyDone);
    EXPECT_EQ(outcome.closingNotice, "");
    EXPECT_EQ(readFile(stick + "/notes.txt"), "notes");
    EXPECT_EQ(readFile(copy + "/only-in-old.txt"), "old");

    EXPECT_EQ(run(true), RunResult::Failed);
    const QString missing = "fileError|\u201c" + home / "Media/Unplugged" +
                            "\u201d was not copied to \u201c" + stick +
                            "\u201d: it does not exist.";
    EXPECT_EQ(fileErrors(), QStringList({missing, missing}));
    EXPECT_EQ(readFile(stick + "/Unplugged/keep.txt"), "keep");
    EXPECT_EQ(treeOf(copy), treeOf(source));
    EXPECT_FALSE(outcome.notifyDone);  // it would say every item was copied
    EXPECT_EQ(outcome.closingNotice, "1 item was not copied.");
    EXPECT_EQ(resultLine(report), "Packed 2 items. 1 not copied: 1 missing.");
}

TEST_F(CopyTest, RowsThatWouldCopyOntoOrIntoThemselvesAreRefusedAndTheSourcesKept) {
    writeFile(documents + "/Inner/Inner/file.txt", "inner");
    const QStringList before = treeOf(documents);
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
    EXPECT_EQ(outcome.closingNotice, "7 items were not copied.");
    EXPECT_EQ(treeOf(documents), before);
    EXPECT_EQ(readFile(stick + "/notes.txt"), "notes");
}

// A row first removes what stopped runs left of its own copy, and only that; a row whose
// copy is in place says so, whatever else failed.
TEST_F(CopyTest, ARowRemovesItsLeftoverCopiesAndTellsOnlyWhatHappened) {
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
    EXPECT_EQ(treeOf(stick + "/Taxes"), treeOf(documents + "/Taxes"));
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
    EXPECT_EQ(outcome.closingNotice, "All done packing your files for the road.");
}

}  // namespace
