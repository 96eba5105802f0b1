#include "removal/application_removal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "removal/removal_plan.h"
#include "support/trash_fixture.h"

class Removal : public TrashTest {
  protected:
    QString app = writeAppBundle(home / "Applications/Note Pad.app", "a.b.notepad");

    RemovalList chooseApp(const Path& path) {
        return buildRemovalList(path, paths({home / ".config", home / ".cache"}), services);
    }
    RemovalList chooseApp(const QString& path) { return chooseApp(asPath(path)); }
    // Moves the list's checked items to the Trash; how it went is in outcome.
    RunResult remove(const RemovalList& list, RunObserver& observer = silentObserver()) {
        return moveRemovalToTrash(services, list, observer, outcome);
    }
    RemovalOutcome outcome;
};

TEST_F(Removal, ListsTheApplicationThenItsItemsAllChecked) {
    writeFile(home / ".config/notepad/settings");
    writeFile(home / ".config/Note Pad.conf", QByteArray(10240, 'c'));
    writeFile(home / ".cache/org.x.notepad");
    const RemovalList list = chooseApp(app);

    QStringList labels;
    for (const DelAppRow& row : list.rows) {
        labels << row.label().section('\n', 0, 0);
        EXPECT_TRUE(row.isChecked());
    }
    EXPECT_EQ(labels, QStringList({"Note Pad.app - 12.0 KB", "Note Pad.conf - 10.0 KB",
                                   "notepad - 4.0 KB", "org.x.notepad - 4.0 KB"}));

    EXPECT_TRUE(chooseApp(writeFile(home / "Apps/notepad")).rows.isEmpty());
}

// Names are bytes: an application whose name is not UTF-8, and one whose name is what
// that would read as, are two applications, each listed and moved as itself.
TEST_F(Removal, AnApplicationIsNamedByItsBytes) {
    const Path apps = asPath(home / "Apps");
    makeFolder(text(apps));
    const Path odd = apps / "Pad\xFF.AppImage", spelled = apps / "Pad\uFFFD.AppImage";
    for (const Path& app : {odd, spelled}) ASSERT_EQ(::close(::creat(app.c_str(), 0755)), 0);
    const RemovalList list = chooseApp(odd);
    ASSERT_EQ(list.rows.size(), 1);
    EXPECT_EQ(list.rows[0].label(),
              "Pad\\xFF.AppImage - 4.0 KB\n" + text(apps) + "/Pad\\xFF.AppImage");
    EXPECT_EQ(remove(list), RunResult::Done);
    EXPECT_FALSE(files.exists(odd));
    EXPECT_TRUE(files.exists(spelled));
    EXPECT_TRUE(files.exists(asPath(deletedApps()) / "Pad\xFF.AppImage"));
}

TEST_F(Removal, MovesCheckedItemsFoldersFirstAndRecordsTheFolderInTheTrash) {
    writeFile(home / ".config/notepad/settings");
    writeFile(home / ".config/Note Pad.conf");
    writeFile(home / ".cache/Note Pad.log");
    RemovalList list = chooseApp(app);
    list.rows[1].toggleChecked();  // "Note Pad.conf" stays

    // The run makes the moves its plan lists.
    QStringList planned;
    for (const PlannedStep& step : planTrashMoves(list, services, clock).steps)
        planned << text(step.from) + " -> " + text(step.to);
    EXPECT_EQ(remove(list), RunResult::Done);
    EXPECT_EQ(resultLine(outcome.report), "Moved 3 items to the Trash.");
    const QString to = deletedApps();
    EXPECT_EQ(files.movesMade,
              QStringList({home / ".config/notepad -> " + to + "/notepad",
                           app + " -> " + to + "/Note Pad.app",
                           home / ".cache/Note Pad.log -> " + to + "/Note Pad.log"}));
    EXPECT_EQ(files.movesMade, planned);
    EXPECT_TRUE(exists(home / ".config/Note Pad.conf"));
    EXPECT_EQ(readFile(recordOf("DKT Deleted Apps")),
              "[Trash Info]\nPath=" + QFile::encodeName(home.path()) +
                  "/DKT%20Deleted%20Apps\nDeletionDate=2024-03-09T14:05:09\n");
}

// A cancel stops the run after the item in hand; what moved stays moved.
TEST_F(Removal, ACancelStopsAfterTheItemInHand) {
    writeFile(home / ".config/notepad.conf");
    writeFile(home / ".cache/notepad.db");
    RecordingObserver stopping;
    stopping.stopAfter = 1;
    EXPECT_EQ(remove(chooseApp(app), stopping), RunResult::Cancelled);
    EXPECT_EQ(resultLine(outcome.report), "Moved 1 item to the Trash. Cancelled after 1 of 3.");
    EXPECT_EQ(files.movesMade, QStringList{app + " -> " + deletedApps() + "/Note Pad.app"});
}

TEST_F(Removal, TakenNamesGetTheTimeThenACounterAndNothingIsReplaced) {
    const QString to = deletedApps();
    writeFile(to + "/Foo.plist", "old");
    writeFile(to + "/Foo-14-05-09.plist", "older");
    writeFile(to + "/Bar", "old");
    QStringList destinations;
    for (const PlannedMove& move :
         planMoves(paths({home / "a/Foo.plist", home / "b/Foo.plist", home / "a/Bar",
                          home / "c/.rc", home / "d/.rc"}),
                   asPath(to), clock, files))
        destinations << text(move.destination);
    EXPECT_EQ(destinations, QStringList({to + "/Foo-14-05-09-2.plist", to + "/Foo-14-05-09-3.plist",
                                         to + "/Bar-14-05-09", to + "/.rc", to + "/.rc-14-05-09"}));
}

TEST_F(Removal, AcrossFileSystemsMvRunsAsTheUserAndRefusedItemsGoThroughPkexec) {
    const QString settings = writeFile(home / ".config/notepad.conf");
    const QString cache = writeFile(home / ".cache/notepad.db");
    files.failMoveFrom[settings] = EXDEV;
    files.failMoveFrom[cache] = EACCES;
    services.toolPaths.mv = "/bin/mv";
    services.toolPaths.pkexec = "/usr/bin/pkexec";
    tools.handler = [](const ToolRequest&) { return FakeToolRunner::finished(126); };

    EXPECT_EQ(remove(chooseApp(app)), RunResult::Failed);
    ASSERT_EQ(tools.requests.size(), 2);
    EXPECT_EQ(tools.requests[0].program, "/bin/mv");
    EXPECT_EQ(tools.requests[0].arguments,
              QStringList({"-n", "-T", "--", settings, deletedApps() + "/notepad.conf"}));
    EXPECT_EQ(tools.requests[1].program, "/usr/bin/pkexec");
    EXPECT_EQ(tools.requests[1].arguments,
              QStringList({"/bin/mv", "-n", "-T", "--", cache, deletedApps() + "/notepad.db"}));
    EXPECT_EQ(outcome.closingNotice,
              "These items could not be put in the Trash and were left "
              "where they were:\n" +
                  settings + "\n" + cache);
    EXPECT_TRUE(exists(settings) && exists(cache));
}

TEST_F(Removal, AGrantedPrivilegedMoveCarriesTheItem) {
    const QString cache = writeFile(home / ".cache/notepad.db", "data");
    files.failMoveFrom[cache] = EPERM;
    const QString fakePkexec = writeFile(home / "bin/pkexec", "#!/bin/sh\nexec \"$@\"\n");
    QFile::setPermissions(fakePkexec, QFile::ReadOwner | QFile::ExeOwner);
    services.toolPaths.pkexec = fakePkexec;
    ProcessToolRunner real;
    TrashServices withRealTools{prompter,           chooser,        files,         real,
                                services.toolPaths, services.trash, services.home, services.now};
    EXPECT_EQ(moveRemovalToTrash(withRealTools, chooseApp(app), silentObserver(), outcome),
              RunResult::Done);
    EXPECT_EQ(readFile(deletedApps() + "/notepad.db"), "data");
    EXPECT_FALSE(exists(cache));
}

TEST_F(Removal, ATrashFolderThatIsNoFolderTakesNothing) {
    writeFile(home / ".config/notepad");
    writeFile(deletedApps(), "a file, not a folder");
    EXPECT_EQ(remove(chooseApp(app)), RunResult::Failed);
    EXPECT_TRUE(exists(app) && exists(home / ".config/notepad"));
    EXPECT_EQ(readFile(deletedApps()), "a file, not a folder");
    EXPECT_FALSE(exists(recordOf("DKT Deleted Apps")));
}

TEST_F(Removal, ItemsThatWentWithTheirFolderAndAnOldRecordAreNoFailure) {
    writeFile(home / ".config/notepad/notepad.conf");
    writeFile(recordOf("DKT Deleted Apps"), "[Trash Info]\nPath=/old\n");
    const RemovalList list = chooseApp(app);
    ASSERT_EQ(list.rows.size(), 3);
    EXPECT_EQ(remove(list), RunResult::Done);
    EXPECT_TRUE(exists(deletedApps() + "/notepad/notepad.conf"));
    EXPECT_EQ(readFile(recordOf("DKT Deleted Apps")), "[Trash Info]\nPath=/old\n");
}

// With every row unchecked nothing moves, and the closing notice does not say otherwise.
TEST_F(Removal, NothingCheckedIsSaidSo) {
    RemovalList list = chooseApp(app);
    list.rows[0].toggleChecked();
    EXPECT_EQ(remove(list), RunResult::Done);
    EXPECT_EQ(outcome.closingNotice, "No items were checked to be put in the Trash.");
    EXPECT_TRUE(exists(app));
    EXPECT_FALSE(exists(deletedApps()));
}

TEST_F(Removal, NothingMovesWhenTheFolderCannotHaveItsRecord) {
    const QString settings = writeFile(home / ".config/notepad.conf");
    makeFolder(recordOf("DKT Deleted Apps"));  // in the record's way
    EXPECT_EQ(remove(chooseApp(app)), RunResult::Failed);
    EXPECT_EQ(outcome.closingNotice,
              "These items could not be put in the Trash and were left where they were:\n" + app +
                  "\n" + settings);
    EXPECT_TRUE(exists(app) && exists(settings));
    EXPECT_FALSE(exists(deletedApps()));
}
