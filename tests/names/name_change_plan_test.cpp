#include "names/name_change_plan.h"

#include <gtest/gtest.h>

#include <random>

#include "names/name_change_run.h"
#include "pass_by_pass_oracle.h"
#include "support/qstring_printer.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"
#include "support/tree_listing.h"

namespace {

QStringList logged;

QString pick(std::mt19937& random, const QStringList& from) { return from[random() % from.size()]; }

// Each file holds its first name, so that an item that ends with the right name but is the
// wrong item shows.
void fillRandomly(const Path& folder, std::mt19937& random) {
    const QStringList parts = {"a",  "A", "b", "B", " ",  "1",  "2", "10",
                               ".x", "é", "É", ":", "0a", "ｚ", "𐐀"};
    const int count = int(random() % 9);
    for (int i = 0; i < count; ++i) {
        QString name;
        for (int k = 1 + int(random() % 3); k > 0; --k) name += pick(random, parts);
        if (random() % 8 == 0) name.prepend('.');
        const Path path = folder / name.toUtf8();
        if (LocalFileSystem().exists(path)) continue;
        if (random() % 5 == 0)
            (void)LocalFileSystem().makeDirectory(path);
        else
            writeItem(path, name.toUtf8());
    }
    if (random() % 4 == 0) writeItem(folder / "a 1\xff", "odd");
}

NameChangeOptions randomOptions(std::mt19937& random) {
    const QStringList texts = {"", "a", "A", " ", "1", "b", "x", ":", "/", "0a", ".", "é"};
    auto on = [&] { return random() % 3 == 0; };
    NameChangeOptions o;
    o.replaceCheck = on();
    o.replace1TextField = pick(random, texts);
    o.replace2TextField = pick(random, texts);
    o.ignoreCaseCheck = on();
    o.prefixNumberCheck = on();
    o.prefixStringCheck = on();
    o.prefixTextField = pick(random, texts);
    o.prefixNumber2Check = on();
    o.suffixNumberCheck = on();
    o.suffixStringCheck = on();
    o.suffixTextField = pick(random, texts);
    o.suffixNumber2Check = on();
    o.removeSpacesCheck = on();
    o.removeNumbersCheck = on();
    o.caseCheck = on();
    o.lowerCase = random() % 2;
    o.foldersToo = random() % 2;
    return o;
}

QStringList notices(const ScriptedPrompter& prompter) {
    QStringList found;
    for (const QString& call : prompter.callsStartingWith("notice|")) found << call.mid(7);
    return found;
}

}  // namespace

// The planned run against the pass-by-pass run on the same random folder: the same names
// on the same items, the same alerts in the same order, the same logged lines, the same
// end; planning changes nothing. (That the run makes the plan's moves, in order, is
// PreviewMatchesJournal.NameChanges'.)
TEST(NameChangePlanTest, MatchesThePassByPassRunOnRandomFoldersAndOptions) {
    TempHome home;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& line) {
        logged << line.section(u'/', -1);  // the folders differ
    });
    std::mt19937 random(20261207);
    for (int round = 0; round < 300; ++round) {
        const Path oracleFolder = asPath(home / QString("oracle%1").arg(round));
        const Path plannedFolder = asPath(home / QString("planned%1").arg(round));
        const std::mt19937 start = random;
        makeFolder(oracleFolder.display());
        makeFolder(plannedFolder.display());
        fillRandomly(oracleFolder, random);
        random = start;
        fillRandomly(plannedFolder, random);
        const NameChangeOptions options = randomOptions(random);

        ScriptedPrompter oraclePrompter;
        LocalFileSystem local;
        logged.clear();
        const RunResult expected =
            changeNamesPassByPass(oraclePrompter, local, oracleFolder, options);
        const QStringList expectedLog = logged;

        logged.clear();
        const QStringList before = describeTree(plannedFolder);
        const NameChangePlan plan = planNameChange(local, plannedFolder, options);
        ASSERT_EQ(describeTree(plannedFolder), before);
        NameChangeRun run(local, plannedFolder);
        const RunResult result = run.execute(plan);

        SCOPED_TRACE(QString("round %1: %2").arg(round).arg(before.join(" | ")).toStdString());
        EXPECT_EQ(result, expected);
        EXPECT_EQ(run.notices(), notices(oraclePrompter));
        EXPECT_EQ(logged, expectedLog);
        EXPECT_EQ(describeTree(plannedFolder), describeTree(oracleFolder));
        if (HasFailure()) break;
    }
    qInstallMessageHandler(nullptr);
}

TEST(NameChangePlanTest, TheResultLineTellsRenamesTakenNamesStopsAndCancels) {
    TempHome home;
    const Path folder = asPath(home / "work");
    makeFolder(folder.display());
    for (const char* name : {"a b", "ab", "c d", "x1"}) writeItem(folder / name, name);
    LocalFileSystem files;
    auto run = [&](const NameChangeOptions& options, int stopAfter = -1) {
        RecordingObserver observer;
        observer.stopAfter = stopAfter;
        NameChangeRun run(files, folder, observer);
        const RunResult result = run.execute(planNameChange(files, folder, options));
        return std::make_pair(result, resultLine(run.report()));
    };
    EXPECT_EQ(run({.removeSpacesCheck = true}),
              std::make_pair(RunResult::Done,
                             QString("Renamed 1 item. 1 kept their names: 1 name taken.")));

    EXPECT_EQ(run({.replaceCheck = true, .replace1TextField = "x1"}),
              std::make_pair(RunResult::Failed,
                             QString("Nothing was renamed. Stopped at \u201cx1\u201d: File name "
                                     "cannot be empty.")));

    const auto cancelled = run({.prefixNumberCheck = true}, 2);
    EXPECT_EQ(cancelled, std::make_pair(RunResult::Cancelled,
                                        QString("Renamed 2 items. Cancelled after 2 of 4.")));
    EXPECT_EQ(describeTree(folder), QStringList({"0a b f a b", "1ab f ab", "cd f c d", "x1 f x1"}));
}
