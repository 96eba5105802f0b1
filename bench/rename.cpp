// Renames a folder of 100,000 files with replace, prefix and suffix on (three passes,
// 300,000 renames), and times a bare loop of the same renames (renameat2 on paths worked
// out beforehand) in the same run. Prints rename_ratio: the run's processor time over the
// bare loop's. Set DESKTIDY_BENCH_DIR to measure on another file system.

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <optional>
#include <vector>

#include "bench_support.h"
#include "names/name_change_run.h"
#include "runs/journaling_file_system.h"

namespace {

constexpr int fileCount = 100000;

// Answers "OK" and shows nothing.
class SilentPrompter : public Prompter {
  public:
    int alerts = 0;
    bool confirm(const QString&, const QString&, const QString&) override { return true; }
    void notice(const QString& message) override {
        if (message != u"The file and/or folder names have been changed.") ++alerts;
    }
    void criticalNotice(const QString&) override { ++alerts; }
    FileErrorChoice fileError(const FileError&) override {
        ++alerts;
        return FileErrorChoice::Stop;
    }
    void openProgress(const QString&) override {}
    void setProgressItemVisible(bool) override {}
    void showProgressItem(const QString&) override {}
    void closeProgress() override {}
};

QStringList makeFiles(const QString& folder) {
    QDir().mkpath(folder);
    QStringList names;
    for (int i = 0; i < fileCount; ++i) {
        const QString name = QStringLiteral("photo %1.jpg").arg(i, 6, 10, QLatin1Char('0'));
        const int fd = ::open(QFile::encodeName(folder + u'/' + name).constData(),
                              O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd >= 0) ::close(fd);
        names << name;
    }
    return names;
}

using Renames = std::vector<std::pair<QByteArray, QByteArray>>;

// The renames of one pass over names (already in listing order), advancing names.
Renames passOf(const QString& folder, QStringList& names,
               const std::function<QString(const QString&, int)>& rule) {
    Renames renames;
    renames.reserve(names.size());
    for (int i = 0; i < names.size(); ++i) {
        const QString newName = rule(names[i], i);
        renames.emplace_back(QFile::encodeName(folder + u'/' + names[i]),
                             QFile::encodeName(folder + u'/' + newName));
        names[i] = newName;
    }
    // No name has an upper-case letter, so the listing order is the code-point order.
    std::sort(names.begin(), names.end());
    return renames;
}

// Processor time of one call, user and system: unlike the wall clock, it does not count
// the time other programs on this shared machine hold the processor.
template <typename F>
double cpuSecondsOf(F&& work) {
    auto now = [] {
        timespec t;
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec + t.tv_nsec / 1e9;
    };
    const double start = now();
    work();
    return now() - start;
}

struct Timing {
    double run = 0;
    double bare = 0;
};

// The name-change run over one folder and the bare loop over another, in processor
// seconds; nullopt when they did not end with the same names.
std::optional<Timing> timeRound(const QString& root, bool runFirst) {
    const QString runFolder = root + QStringLiteral("/run");
    const QString bareFolder = root + QStringLiteral("/bare");
    QStringList names = makeFiles(runFolder);
    makeFiles(bareFolder);

    NameChangeOptions options;
    options.replaceCheck = true;
    options.replace1TextField = QStringLiteral("photo ");
    options.replace2TextField = QStringLiteral("trip-");
    options.prefixNumberCheck = true;
    options.prefixStringCheck = true;
    options.prefixTextField = QStringLiteral("_");
    options.suffixStringCheck = true;
    options.suffixTextField = QStringLiteral(".old");
    options.suffixNumber2Check = true;

    std::vector<Renames> passes;
    passes.push_back(passOf(bareFolder, names, [](const QString& name, int) {
        return QString(name).replace(QStringLiteral("photo "), QStringLiteral("trip-"));
    }));
    passes.push_back(passOf(bareFolder, names, [](const QString& name, int i) {
        return QString::number(i) + u'_' + name;
    }));
    passes.push_back(passOf(bareFolder, names, [](const QString& name, int i) {
        return name + QStringLiteral(".old") + QString::number(i);
    }));

    Timing timing;
    int bareFailures = 0;
    auto timeBare = [&] {
        ::sync();  // each timed part starts with the file system's pending writes done
        timing.bare = cpuSecondsOf([&] {
            for (const Renames& pass : passes)
                for (const auto& [from, to] : pass)
                    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(),
                                    RENAME_NOREPLACE) != 0)
                        ++bareFailures;
        });
    };
    SilentPrompter prompter;
    // As the program runs: every rename goes into the run's record first.
    LocalFileSystem local;
    JournalingFileSystem files(local, desktidyStateFolder(root + QStringLiteral("/home")));
    RunResult result = RunResult::Failed;
    auto timeRun = [&] {
        ::sync();
        timing.run = cpuSecondsOf([&] {
            // DESKTIDY_BENCH_NO_JOURNAL=1 measures without it, for comparison.
            const bool journal = !qEnvironmentVariableIsSet("DESKTIDY_BENCH_NO_JOURNAL");
            if (journal) files.beginRun({"rename", Path::fromText(runFolder)});
            NameChangeRun changeNames(prompter, files, Path::fromText(runFolder));
            result = changeNames.doChangeNames(options);
            if (journal) (void)files.endRun(false);
        });
    };
    if (runFirst) timeRun();
    timeBare();
    if (!runFirst) timeRun();

    const NameList renamed = files.listNames(Path::fromText(runFolder), false);
    const NameList bare = files.listNames(Path::fromText(bareFolder), false);
    bool same = renamed.size() == bare.size();
    for (std::size_t i = 0; same && i < renamed.size(); ++i) same = renamed.at(i) == bare.at(i);
    QDir(runFolder).removeRecursively();
    QDir(bareFolder).removeRecursively();
    QDir(root + QStringLiteral("/home")).removeRecursively();
    if (result != RunResult::Done || prompter.alerts != 0 || bareFailures != 0 || !same)
        return std::nullopt;
    return timing;
}

}  // namespace

// Two rounds, one in each order, and the best time of each side: the file system's
// times on this shared machine vary from round to round.
int main() {
    const QString root = benchmarkFolder("rename");
    Timing best{1e9, 1e9};
    for (bool runFirst : {false, true}) {
        const std::optional<Timing> timing = timeRound(root, runFirst);
        if (!timing) {
            std::fprintf(stderr, "rename: the run and the bare loop disagree\n");
            return 1;
        }
        best.run = std::min(best.run, timing->run);
        best.bare = std::min(best.bare, timing->bare);
    }
    QDir(root).removeRecursively();
    report("rename_seconds", best.run);
    report("rename_bare_seconds", best.bare);
    report("rename_ratio", best.run / best.bare);
    return 0;
}
