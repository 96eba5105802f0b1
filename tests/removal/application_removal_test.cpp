#include "removal/application_removal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
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

// A home holding places that the desktop or many programs share, next to applications'
// own folders and to names that merely hold an application's name. The shared places
// never come back; an item is checked only when the application's name, its name without
// blanks, its identifier or the identifier's last piece is a run of whole words of its
// name; the others are unchecked and marked. Names are text: "*" is no wildcard.
TEST_F(Removal, SharedPlacesAreNeverListedAndOnlyAnApplicationsOwnItemsAreChecked) {
    for (const char* shared :
         {".local/share/keyrings/login.keyring", ".config/dconf/user",
          ".local/share/applications/notepad.desktop", ".local/share/applications/code.desktop",
          ".local/share/applications/mimeapps.list", ".config/mimeapps.list",
          ".local/share/mime/packages/mime.xml", ".local/share/fonts/SourceCodePro-Regular.ttf",
          ".local/share/fonts/Font Awesome.otf", ".config/fontconfig/fonts.conf",
          ".config/autostart/foo.desktop", ".config/systemd/user/foo.service",
          ".local/share/Trash/files/Foo notes"})
        writeFile(home / shared);
    for (const char* other :
         {".config/Key/state", ".cache/monkey-tool/x", ".local/state/desktop/x",
          ".config/editor/R.conf", ".cache/Font/x", ".config/Code/settings.json",
          ".config/unicode-tools/x", ".cache/barcode-scanner/x", ".config/Foo/x",
          ".config/Foobar/x", ".config/c*n*g.conf", ".cache/cleaning",
          ".local/share/plasma/look.desktop", ".config/Note Pad.conf", ".config/NotePad/x",
          ".cache/a.b.notepad.plist", ".local/state/notepad-state", ".config/SourceCodeProfiles"})
        writeFile(home / other);
    const QStringList folders = {home / ".config", home / ".local/share", home / ".cache",
                                 home / ".local/state", home / ".var/app"};
    struct Case {
        const char* app;
        const char* identifier;
        QStringList rows;
    };
    const Case cases[] = {
        {"Key.app", "", {"[x] ~/.config/Key", "[ ] ~/.cache/monkey-tool (may be related)"}},
        {"Desktop.app",
         "",
         {"[ ] ~/.local/share/plasma/look.desktop (may be related)", "[x] ~/.local/state/desktop"}},
        {"Launchy.app",
         "org.example.desktop",
         {"[ ] ~/.local/share/plasma/look.desktop (may be related)"}},
        {"conf.app",
         "",
         {"[ ] ~/.config/Note Pad.conf (may be related)",
          "[ ] ~/.config/c*n*g.conf (may be related)",
          "[ ] ~/.config/editor/R.conf (may be related)"}},
        {"Font.app", "", {"[x] ~/.cache/Font"}},
        {"mime.app", "", {}},
        {"Code.app",
         "",
         {"[x] ~/.config/Code", "[x] ~/.config/SourceCodeProfiles",
          "[ ] ~/.config/unicode-tools (may be related)",
          "[ ] ~/.cache/barcode-scanner (may be related)"}},
        {"Foo.app", "", {"[x] ~/.config/Foo", "[ ] ~/.config/Foobar (may be related)"}},
        {"c*n*g.app", "", {"[x] ~/.config/c*n*g.conf"}},
        {"Note Pad.app",
         "a.b.notepad",
         {"[x] ~/.config/Note Pad.conf", "[x] ~/.config/NotePad", "[x] ~/.cache/a.b.notepad.plist",
          "[x] ~/.local/state/notepad-state"}},
    };
    for (const Case& c : cases) {
        const QString app = writeAppBundle(home / ("Applications/" + QString(c.app)), c.identifier);
        QStringList rows;
        for (const DelAppRow& row : buildRemovalList(asPath(app), paths(folders), services).rows)
            rows << QString(row.isChecked() ? "[x] " : "[ ] ") +
                        text(row.itemPath()).replace(home.path(), "~") +
                        (row.mayBeRelated() ? " (may be related)" : "");
        EXPECT_EQ(rows, QStringList("[x] ~/Applications/" + QString(c.app)) + c.rows) << c.app;
    }
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

// The list holds the application, then its items folder by folder, each with its size;
// the checked ones move, folders first, and the Trash records the folder they go to.
TEST_F(Removal, ListsThenMovesCheckedItemsFoldersFirstAndRecordsTheFolderInTheTrash) {
    writeFile(home / ".config/notepad/settings");
    writeFile(home / ".config/Note Pad.conf", QByteArray(10240, 'c'));
    writeFile(home / ".cache/Note Pad.log");
    EXPECT_TRUE(chooseApp(writeFile(home / "Apps/notepad")).rows.isEmpty());
    RemovalList list = chooseApp(app);
    QStringList labels;
    for (const DelAppRow& row : list.rows) labels << row.label().section('\n', 0, 0);
    EXPECT_EQ(labels, QStringList({"Note Pad.app - 12.0 KB", "Note Pad.conf - 10.0 KB",
                                   "notepad - 4.0 KB", "Note Pad.log - 4.0 KB"}));
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

// Across file systems the program moves the item itself, and no tool runs; `pkexec mv` is
// asked only for an item on the Trash's file system that the user may not move, never for
// one on another device (mv would copy it). Each item that stays is named with its reason.
TEST_F(Removal, AcrossFileSystemsTheProgramMovesAndPkexecMvNeverCrossesADevice) {
    const QString settings = writeFile(home / ".config/notepad.conf", "settings");
    const QString cache = writeFile(home / ".cache/notepad.db");
    const QString log = writeFile(home / ".cache/notepad.log");
    files.failMoveFrom[settings] = EXDEV;
    files.failMoveFrom[cache] = EACCES;
    files.failMoveFrom[log] = EPERM;
    files.otherFileSystems << log;
    services.toolPaths.mv = "/bin/mv";
    services.toolPaths.pkexec = "/usr/bin/pkexec";
    tools.handler = [](const ToolRequest&) { return FakeToolRunner::finished(126); };

    EXPECT_EQ(remove(chooseApp(app)), RunResult::Failed);
    EXPECT_EQ(readFile(deletedApps() + "/notepad.conf"), "settings");
    EXPECT_FALSE(exists(settings));
    ASSERT_EQ(tools.requests.size(), 1);
    EXPECT_EQ(tools.requests[0].program, "/usr/bin/pkexec");
    EXPECT_EQ(tools.requests[0].arguments,
              QStringList({"/bin/mv", "-n", "-T", "--", cache, deletedApps() + "/notepad.db"}));
    EXPECT_EQ(resultLine(outcome.report), "Moved 2 items to the Trash. 2 stayed: 2 failed.");
    EXPECT_EQ(outcome.closingNotice,
              "These items could not be put in the Trash:\n" + cache + ": \u201c" + cache +
                  "\u201d could not be moved with administrator rights.\n" + log + ": \u201c" +
                  log +
                  "\u201d is on another file system than the Trash, and you may not remove it "
                  "from its folder.");
    EXPECT_TRUE(exists(cache) && exists(log));
}

// An item on another file system that holds a mount point is never copied or removed: it
// stays whole with what is mounted in it, named with the reason, and a preview that can
// tell (the item on another device than the Trash) says so before the run.
TEST_F(Removal, AnItemHoldingAMountStaysWholeAndIsNamed) {
    const QString cache = home / ".cache/notepad", config = home / ".config/notepad";
    for (const QString& folder : {cache, config}) {
        writeFile(folder + "/precious/keep.txt", "keep me");
        writeFile(folder + "/data.db", "data");
    }
    files.otherFileSystems << cache << config + "/precious";
    files.failMoveFrom[config] = EXDEV;  // a device the preview cannot see
    const RemovalList list = chooseApp(app);
    const auto held = [](const QString& item) {
        return "\u201c" + item + "\u201d holds another file system, mounted at \u201c" + item +
               "/precious\u201d; it was not moved, as a move to another file system would copy "
               "and then remove what is mounted there.";
    };
    QStringList preview;
    for (const PlannedStep& step : planTrashMoves(list, services, clock).steps)
        preview << planLine(step);
    EXPECT_EQ(preview, QStringList({config + " -> " + deletedApps() + "/notepad",
                                    cache + " -> " + deletedApps() +
                                        "/notepad-14-05-09  [stays: "
                                        "not allowed: " +
                                        held(cache) + "]",
                                    app + " -> " + deletedApps() + "/Note Pad.app"}));

    EXPECT_EQ(remove(list), RunResult::Failed);
    EXPECT_EQ(resultLine(outcome.report),
              "Moved 1 item to the Trash. 2 stayed: 1 not allowed, 1 failed.");
    EXPECT_EQ(outcome.closingNotice, "These items could not be put in the Trash:\n" + config +
                                         ": " + held(config) + "\n" + cache + ": " + held(cache));
    for (const QString& folder : {cache, config})
        EXPECT_EQ(readFile(folder + "/precious/keep.txt") + readFile(folder + "/data.db"),
                  "keep medata");
    EXPECT_EQ(displayed(files.listNames(asPath(deletedApps()), true)), QStringList{"Note Pad.app"});
}

// The same with real mounts, in a mount namespace of this process: ~/.cache is a tmpfs, and
// a folder of the home is bind-mounted inside the application's cache folder.
TEST_F(Removal, AnItemHoldingARealBindMountStaysAndAFileBesideItMoves) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
        GTEST_SKIP() << "cannot make a mount namespace here";
    makeFolder(home / ".cache");
    const QByteArray tmpfs = QFile::encodeName(home / ".cache");
    if (::mount("none", tmpfs.constData(), "tmpfs", 0, nullptr) != 0)
        GTEST_SKIP() << "cannot mount here";
    const QString cache = home / ".cache/notepad";
    writeFile(home / "precious/keep.txt", "keep me");
    writeFile(cache + "/data.db", "data");
    makeFolder(cache + "/precious");
    const QByteArray bind = QFile::encodeName(cache + "/precious");
    ASSERT_EQ(::mount(QFile::encodeName(home / "precious").constData(), bind.constData(), nullptr,
                      MS_BIND, nullptr),
              0);
    const QString log = writeFile(home / ".cache/notepad.log", "log");

    EXPECT_EQ(remove(chooseApp(app)), RunResult::Failed);
    EXPECT_EQ(resultLine(outcome.report), "Moved 2 items to the Trash. 1 stayed: 1 not allowed.");
    EXPECT_EQ(readFile(deletedApps() + "/notepad.log"), "log");
    EXPECT_FALSE(exists(log));
    EXPECT_EQ(readFile(cache + "/data.db") + readFile(cache + "/precious/keep.txt"), "datakeep me");
    ::umount2(bind.constData(), MNT_DETACH);
    ::umount2(tmpfs.constData(), MNT_DETACH);
    EXPECT_EQ(readFile(home / "precious/keep.txt"), "keep me");
    EXPECT_TRUE(tools.requests.isEmpty());
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

TEST_F(Removal, ItemsThatWentWithTheirFolderAndAnOldRecordAreNoFailure) {
    writeFile(home / ".config/notepad/notepad.conf");
    writeFile(recordOf("DKT Deleted Apps"), "[Trash Info]\nPath=/old\n");
    const RemovalList list = chooseApp(app);
    ASSERT_EQ(list.rows.size(), 3);
    EXPECT_EQ(remove(list), RunResult::Done);
    EXPECT_TRUE(exists(deletedApps() + "/notepad/notepad.conf"));
    EXPECT_EQ(readFile(recordOf("DKT Deleted Apps")), "[Trash Info]\nPath=/old\n");
}

// With every row unchecked, or where the Trash's folder for applications or its record
// cannot be made, nothing moves, and the closing notice does not say otherwise.
TEST_F(Removal, NothingMovesWhenNothingIsCheckedOrTheFolderOrItsRecordCannotBeMade) {
    const QString settings = writeFile(home / ".config/notepad.conf");
    RemovalList unchecked = chooseApp(app);
    for (DelAppRow& row : unchecked.rows) row.toggleChecked();
    EXPECT_EQ(remove(unchecked), RunResult::Done);
    EXPECT_EQ(outcome.closingNotice, "No items were checked to be put in the Trash.");
    EXPECT_TRUE(exists(app) && exists(settings));
    EXPECT_FALSE(exists(deletedApps()));

    writeFile(deletedApps(), "a file, not a folder");
    EXPECT_EQ(remove(chooseApp(app)), RunResult::Failed);
    EXPECT_TRUE(exists(app) && exists(settings));
    EXPECT_EQ(readFile(deletedApps()), "a file, not a folder");
    EXPECT_FALSE(exists(recordOf("DKT Deleted Apps")));

    QFile::remove(deletedApps());
    makeFolder(recordOf("DKT Deleted Apps"));  // in the record's way
    EXPECT_EQ(remove(chooseApp(app)), RunResult::Failed);
    const QString why =
        ": " + recordOf("DKT Deleted Apps") + " is in the way of the Trash's record.";
    EXPECT_EQ(outcome.closingNotice,
              "These items could not be put in the Trash:\n" + app + why + "\n" + settings + why);
    EXPECT_TRUE(exists(app) && exists(settings));
    EXPECT_FALSE(exists(deletedApps()));
}
