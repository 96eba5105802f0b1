// For random trees and option sets, and for the edge cases where the two once parted, a run
// makes exactly the moves its preview listed, in order, as the run's journal records them,
// tells what the preview foretold, and the preview changes nothing on disk.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLoggingCategory>
#include <QTemporaryDir>
#include <random>

#include "controller_fixture.h"
#include "runs/journaling_file_system.h"
#include "runs/run_history.h"
#include "support/qstring_printer.h"
#include "support/tree_listing.h"

namespace {

struct PreviewMatchesJournal : ::testing::Test {
    TempHome home;
    LocalFileSystem local;
    JournalingFileSystem files{local, desktidyStateFolder(home.path())};
    ScriptedPrompter prompter;
    RecordingNotifier notifier;
    NeverAskedChooser chooser;
    FakeToolRunner tools;
    DesktidyController c{{prompter, notifier, chooser, files, tools, ToolPaths{},
                          UserEnvironment{"tester", home.path()}, QString()},
                         BundleDefaults::fromResources()};
    Path desk = Path::fromText(home / "Desk");
    std::mt19937 random;

    PreviewMatchesJournal() { c.start({"/usr/bin/desktidy"}); }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    QStringList manifest() { return describeTree(asPath(home.path()), TreeDetail::Everything); }
    // Items of every kind, with names that are taken, hidden, odd bytes and not UTF-8.
    void grow(const Path& folder, int count) {
        static const char* stems[] = {
            "a",    "Photo 1", "x\xff",  "caf\xc3\xa9", "caf\xe9", "\xef\xbf\xbd", ".hidden",
            "2010", "a\nb",    "Images", "Words",       "Archive", "deep"};
        static const char* types[] = {"", ".jpg", ".JPG", ".txt", ".pdf", ".mp3", ".zip"};
        ::mkdir(folder.c_str(), 0755);
        for (int i = 0; i < count; ++i) {
            const Path path = folder / (QByteArray(stems[pick(13)]) + types[pick(7)]);
            const int kind = pick(8);
            if (kind == 0) {
                ::mkdir(path.c_str(), 0755);
                grow(path, pick(3));
            } else if (kind == 1) {
                if (::symlink(pick(2) ? "a.jpg" : "/nowhere", path.c_str()) != 0) continue;
            } else {
                const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
                if (fd < 0) continue;
                const ssize_t written = ::write(fd, path.c_str(), kind);
                ::close(fd);
                ASSERT_EQ(written, kind);
            }
            const timespec old[2] = {{0, UTIME_OMIT}, {1400000000 + pick(4) * 100000000, 0}};
            ::utimensat(AT_FDCWD, path.c_str(), old, AT_SYMLINK_NOFOLLOW);
        }
    }
    // Runs run after checking that the preview changed nothing; the moves the run's journal
    // records (a copy's: its temporary copy's place), "FROM -> TO" in order, against the
    // preview's.
    void expectRunMakes(const RunPlan& preview, const QStringList& before,
                        const std::function<void()>& run) {
        ASSERT_EQ(manifest(), before);
        QStringList planned, made;
        const bool copies = preview.kind == RunKind::Pack;
        for (const PlannedStep& step : preview.steps)
            if (step.refusal == Refusal::None)
                planned << (copies ? step.to.display() : planLine(step));
        const int lastBefore = files.lastRunNumber();
        run();
        // An empty list runs nothing: no record of its own.
        const int number = files.lastRunNumber() == lastBefore ? 0 : files.lastRunNumber();
        const auto record = RunHistory(files.historyFolder()).read(number);
        for (const RunEntry& e : record ? record->entries : QList<RunEntry>()) {
            const QByteArray name = e.path.fileName();
            if (copies && e.kind == RunEntry::Kind::Temporary)
                made << (e.path.parent() / name.mid(1, name.lastIndexOf(".desktidy-") - 1))
                            .display();
            else if (!copies && e.kind == RunEntry::Kind::Move && e.done)
                made << planLine({e.path, e.target});
        }
        EXPECT_EQ(made.join(u'\n').toStdString(), planned.join(u'\n').toStdString());
    }
    // A few dozen seeded cases, each in a fresh Desk and Stick.
    void forEachCase(const std::function<void()>& check) {
        for (int seed = 0; seed < 30 && !HasFailure(); ++seed) {
            SCOPED_TRACE(seed);
            random.seed(seed);
            check();
            ASSERT_TRUE(local.removeAll(desk).ok());
            (void)local.removeAll(Path::fromText(home / "Stick"));
        }
    }
};

TEST_F(PreviewMatchesJournal, FilingWithArchivingThenUnfiling) {
    forEachCase([&] {
        grow(desk, pick(25));
        c.draft().archiveDate = pick(2) ? ArchiveDate{"01", "None", "2015"} : ArchiveDate{};
        const QStringList before = manifest();
        expectRunMakes(c.planFiling(desk), before, [&] { (void)c.fileFolder(desk); });
        grow(desk, pick(10));  // names the unfiling finds taken
        const QStringList filed = manifest();
        expectRunMakes(c.planUnfiling(desk), filed, [&] { (void)c.unfileFolder(desk); });
    });
}

TEST_F(PreviewMatchesJournal, NameChanges) {
    QLoggingCategory::setFilterRules("default.info=false");  // the digits pass's log lines
    forEachCase([&] {
        grow(desk, pick(25));
        NameChangeOptions o;
        o.replaceCheck = pick(2);
        o.replace1TextField = QStringList{"a", "1", " ", "é", "Ph"}[pick(5)];
        o.replace2TextField = QStringList{"", "a", "A", "2", "é"}[pick(5)];
        o.ignoreCaseCheck = pick(2);
        o.prefixStringCheck = pick(2);
        o.prefixTextField = QStringList{"a", "", "x-"}[pick(3)];
        o.suffixStringCheck = pick(3) == 0;
        o.suffixTextField = QStringList{"1", ".jpg"}[pick(2)];
        o.prefixNumberCheck = pick(4) == 0;
        o.suffixNumber2Check = pick(4) == 0;
        o.removeSpacesCheck = pick(2);
        o.removeNumbersCheck = pick(4) == 0;
        o.caseCheck = pick(2);
        o.lowerCase = pick(2);
        o.foldersToo = pick(2);
        const QStringList before = manifest();
        expectRunMakes(c.planChangeNames(desk, o), before, [&] { (void)c.changeNames(desk, o); });
    });
}

TEST_F(PreviewMatchesJournal, PackCopies) {
    forEachCase([&] {
        grow(desk, 1 + pick(12));
        grow(desk / "deep", pick(3));
        grow(Path::fromText(home / "Stick"), pick(6));
        const QStringList destinations = {home / "Stick", home / "Desk", home / "Desk/deep"};
        QStringList sources;  // the list holds text: names that are UTF-8
        for (const QString& name :
             QDir(home / "Desk")
                 .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot))
            if (!name.contains(QChar(0xFFFD))) sources << home / "Desk/" + name;
        c.clearPackLists();
        for (int row = pick(8); row > 0; --row)
            c.draft().packRows.append({sources[pick(sources.size())], destinations[pick(3)]});
        const QStringList before = manifest();
        expectRunMakes(c.planCopies(PackSide::Pack), before,
                       [&] { (void)c.copyPackRows(PackSide::Pack); });
    });
}

// Each case once: the tree and lists it starts from, its preview and its run, and the
// texts that the preview must show and the run tell (its alerts and notices).
TEST_F(PreviewMatchesJournal, EdgeCases) {
    QLoggingCategory::setFilterRules("default.warning=false");
    const QString stick = home / "Stick", link = home / "DeskLink";
    const Path deskLink = Path::fromText(link);
    QTemporaryDir elsewhere;  // outside the home
    const QString homeName = QFileInfo(home.path()).fileName();
    NameChangeOptions suffix, removeSpaces, upper;
    suffix.suffixStringCheck = true;
    suffix.suffixTextField = "-123456";
    removeSpaces.removeSpacesCheck = true;
    upper.caseCheck = true;
    const QString longB(250, 'b');
    const QString grows(127, QChar(0x0250));  // 254 bytes; upper case takes 381
    const auto everyListed = [&] {
        RunPlan plan;
        plan.kind = RunKind::FileAll;
        for (const Path& folder : c.distinctListedFolders()) plan.append(c.planFiling(folder));
        return plan;
    };
    const auto packRows = [&](const QList<PackRow>& rows) { c.draft().packRows = rows; };
    struct Case {
        const char* what;
        std::function<void()> setUp;
        std::function<RunPlan()> preview;
        std::function<void()> run;
        qsizetype makes;  // the steps to make: none at all would prove nothing
        QStringList told = {};
    };
    const Case cases[] = {
        {"filing a folder named by a link",
         [&] {
             writeFile(desk.display() + "/a.jpg");
             QFile::link(desk.display(), link);
         },
         [&] { return c.planFiling(deskLink); }, [&] { (void)c.fileFolder(deskLink); }, 1},
        {"unfiling a folder named by a link",
         [&] {
             writeFile(desk.display() + "/Images/a.jpg");
             writeFile(desk.display() + "/Words/b.txt");
             QFile::link(desk.display(), link);
         },
         [&] { return c.planUnfiling(deskLink); }, [&] { (void)c.unfileFolder(deskLink); }, 2},
        {"filing every listed folder, one inside another",
         [&] {
             writeFile(desk.display() + "/a.jpg");
             writeFile(desk.display() + "/Images/b.jpg");
             writeFile(desk.display() + "/Images/c.txt");
             c.draft().listedFolders = {desk.display(), desk.display() + "/Images"};
         },
         everyListed, [&] { (void)c.fileListedFolders(); }, 3},
        {"a name change that meets the name limit",
         [&] {
             for (const QString& name : {QString("a"), longB, QString("c")})
                 writeFile(desk.display() + "/" + name);
         },
         [&] { return c.planChangeNames(desk, suffix); },
         [&] { (void)c.changeNames(desk, suffix); },
         1,
         {"File name too long."}},
        {"a case change that would pass the name limit",
         [&] {
             writeFile(desk.display() + "/" + grows);
             writeFile(desk.display() + "/x.txt");
         },
         [&] { return c.planChangeNames(desk, upper); }, [&] { (void)c.changeNames(desk, upper); },
         1},
        {"a name change beside names that are not text",
         [&] {
             writeFile(desk.display() + "/a b.txt");
             writeItem(desk / "c\xff d.txt", "x");
         },
         [&] { return c.planChangeNames(desk, removeSpaces); },
         [&] { (void)c.changeNames(desk, removeSpaces); },
         1,
         {"\nc\\xFF d.txt"}},
        {"a pack row whose source is gone",
         [&] {
             writeFile(desk.display() + "/a.txt");
             makeFolder(stick);
             packRows({{home / "gone.txt", stick}, {desk.display() + "/a.txt", stick}});
         },
         [&] { return c.planCopies(PackSide::Pack); },
         [&] { (void)c.copyPackRows(PackSide::Pack); },
         1,
         {"\u201c" + home / "gone.txt\u201d was not copied to \u201c" + stick +
          "\u201d: it does not exist."}},
        {"a pack row whose destination folder is gone",
         [&] {
             writeFile(desk.display() + "/a.txt");
             packRows({{desk.display() + "/a.txt", stick}});
         },
         [&] { return c.planCopies(PackSide::Pack); },
         [&] { (void)c.copyPackRows(PackSide::Pack); },
         0,
         {"the folder \u201c" + stick + "\u201d does not exist."}},
        {"a pack row whose copy would replace the home folder",
         [&] {
             writeFile(elsewhere.path() + "/" + homeName + "/old.txt");
             packRows({{elsewhere.path() + "/" + homeName, QFileInfo(home.path()).path()}});
         },
         [&] { return c.planCopies(PackSide::Pack); },
         [&] { (void)c.copyPackRows(PackSide::Pack); },
         0,
         {"the copy would replace \u201c" + home.path() +
          "\u201d, which is or holds your "
          "home folder."}},
    };
    for (const Case& edge : cases) {
        SCOPED_TRACE(edge.what);
        c.draft().listedFolders.clear();
        c.draft().packRows.clear();
        edge.setUp();
        const QStringList before = manifest();
        const RunPlan preview = edge.preview();
        EXPECT_EQ(preview.stepsToMake(), edge.makes);
        QStringList shown = preview.notices;
        for (const PlannedStep& step : preview.steps) shown << planLine(step);
        if (preview.stopAlert) shown << *preview.stopAlert;
        prompter.calls.clear();
        expectRunMakes(preview, before, edge.run);
        for (const QString& text : edge.told) {
            EXPECT_TRUE(shown.join(u'\n').contains(text)) << text.toStdString();
            EXPECT_TRUE(prompter.calls.join(u'\n').contains(text))
                << prompter.calls.join(u'\n').toStdString();
        }
        ASSERT_TRUE(local.removeAll(desk).ok() || !local.exists(desk));
        for (const QString& other : {stick, link}) {
            if (local.exists(Path::fromText(other))) {
                ASSERT_TRUE(local.removeAll(Path::fromText(other)).ok());
            }
        }
    }
    QLoggingCategory::setFilterRules("");
}

}  // namespace
