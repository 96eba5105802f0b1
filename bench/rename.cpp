// Renames a folder of 100,000 files with replace, prefix and suffix on, and times in the
// same run: a bare loop of the same net renames (renameat2 on paths worked out
// beforehand), and Debian's rename (the perl file-rename) making the same renames on a
// copy of the folder. Prints rename_ratio (the run's processor time over the bare loop's),
// rename_peer_ratio (the run's over rename's, the perl process's own time counted), and
// rename_preview_10k_ms: the processor time of working out the name change of a 10,000-item
// folder again, as the window's preview does on each change of an option.
// Set DESKTIDY_BENCH_DIR to measure on another file system.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <optional>
#include <vector>

#include "bench_support.h"
#include "names/name_change_plan.h"
#include "names/name_change_run.h"
#include "runs/journaling_file_system.h"
#include "runs/run_pipeline.h"

namespace {

constexpr int fileCount = 100000;
constexpr int previewCount = 10000;

// Answers "OK" and shows nothing.
class SilentPrompter : public Prompter {
  public:
    int alerts = 0;
    bool confirm(const QString&, const QString&, const QString&) override { return true; }
    void notice(const QString& message) override {
        if (message != NameChangeTexts::done) ++alerts;
    }
    void criticalNotice(const QString&) override { ++alerts; }
    FileErrorChoice fileError(const FileError&) override {
        ++alerts;
        return FileErrorChoice::Stop;
    }
};

class SilentNotifier : public Notifier {
  public:
    void notify(const QString&, const QString&, const QString&) override {}
};

QString nameOf(int i) { return QStringLiteral("photo %1.jpg").arg(i, 6, 10, QLatin1Char('0')); }

void makeFiles(const QString& folder, int count) {
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const int fd = ::open(QFile::encodeName(folder + u'/' + nameOf(i)).constData(),
                              O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd >= 0) ::close(fd);
    }
}

NameChangeOptions benchOptions() {
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
    return options;
}

// The final name of each file, by its number: the three passes worked out by hand. No
// name has an upper-case letter, so each pass's listing is in code-point order.
QStringList finalNames() {
    QStringList names;
    for (int i = 0; i < fileCount; ++i)
        names << QString::number(i) + u'_' + nameOf(i).replace(QStringLiteral("photo "), "trip-");
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    QHash<QString, int> rank;
    for (int i = 0; i < sorted.size(); ++i) rank.insert(sorted[i], i);
    for (QString& name : names) name += QStringLiteral(".old") + QString::number(rank.value(name));
    return names;
}

// The same renames as a file-rename expression: the suffix's running number is the rank
// of the prefixed name among all of them, worked out once.
const char* peerExpression =
    "our %rank; unless (%rank) { my @s = sort map { \"${_}_trip-\" . sprintf('%06d', $_) . "
    "'.jpg' } 0..99999; @rank{@s} = 0..$#s; } "
    "s/^photo (\\d+)\\.jpg$/my $p = ($1 + 0) . \"_trip-$1.jpg\"; \"$p.old$rank{$p}\"/e";

double processorSeconds(int who) {
    rusage usage;
    ::getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs rename in folder over every file, the names given on its standard input; the
// processor seconds it took, or nullopt when it failed or is not installed.
std::optional<double> timePeer(const QString& folder) {
    QByteArray input;
    for (int i = 0; i < fileCount; ++i) input += nameOf(i).toUtf8() + '\0';
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return std::nullopt;
    const double before = processorSeconds(RUSAGE_CHILDREN);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[0], 0);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        if (::chdir(QFile::encodeName(folder).constData()) != 0) ::_exit(127);
        ::execlp("rename", "rename", "-0", "--", peerExpression, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[0]);
    for (qsizetype sent = 0; sent < input.size();) {
        const ssize_t n = ::write(pipeEnds[1], input.constData() + sent, input.size() - sent);
        if (n <= 0) break;
        sent += n;
    }
    ::close(pipeEnds[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return processorSeconds(RUSAGE_CHILDREN) - before;
}

QList<QByteArray> listing(const QString& folder) {
    LocalFileSystem files;
    const NameList names = files.listNames(Path::fromText(folder), false);
    QList<QByteArray> list;
    for (std::size_t i = 0; i < names.size(); ++i) list << names.name(i);
    return list;
}

struct Timing {
    double run = 0;
    double bare = 0;
    double peer = 0;
};

// The name-change run, the bare loop and rename, each over its own folder, in processor
// seconds; nullopt when they did not end with the same names.
std::optional<Timing> timeRound(const QString& root, bool runFirst) {
    const QString runFolder = root + QStringLiteral("/run");
    const QString bareFolder = root + QStringLiteral("/bare");
    const QString peerFolder = root + QStringLiteral("/peer");
    for (const QString& folder : {runFolder, bareFolder, peerFolder}) makeFiles(folder, fileCount);

    const QStringList names = finalNames();
    std::vector<std::pair<QByteArray, QByteArray>> renames;
    for (int i = 0; i < fileCount; ++i)
        renames.emplace_back(QFile::encodeName(bareFolder + u'/' + nameOf(i)),
                             QFile::encodeName(bareFolder + u'/' + names[i]));

    Timing timing;
    int bareFailures = 0;
    auto timeBare = [&] {
        ::sync();  // each timed part starts with the file system's pending writes done
        const double start = processorSeconds(RUSAGE_SELF);
        for (const auto& [from, to] : renames)
            if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(),
                            RENAME_NOREPLACE) != 0)
                ++bareFailures;
        timing.bare = processorSeconds(RUSAGE_SELF) - start;
    };
    SilentPrompter prompter;
    SilentNotifier notifier;
    // As the program runs: through the run pipeline, every rename into the run's record first.
    LocalFileSystem local;
    JournalingFileSystem files(local, desktidyStateFolder(root + QStringLiteral("/home")));
    RunPipeline pipeline(files, prompter, notifier);
    RunResult result = RunResult::Failed;
    auto timeRun = [&] {
        ::sync();
        const double start = processorSeconds(RUSAGE_SELF);
        const Path folder = Path::fromText(runFolder);
        result = pipeline
                     .run({RunKind::Rename, {folder}},
                          [&](RunContext& run) {
                              NameChangeRun changeNames(run.files(), folder, run.observer());
                              const RunResult renamed = changeNames.execute(
                                  planNameChange(run.files(), folder, benchOptions()));
                              for (const QString& notice : changeNames.notices())
                                  run.noticeAtEnd(notice);
                              return renamed;
                          })
                     .result;
        timing.run = processorSeconds(RUSAGE_SELF) - start;
    };
    if (runFirst) timeRun();
    timeBare();
    ::sync();
    const std::optional<double> peer = timePeer(peerFolder);
    if (!runFirst) timeRun();

    const QList<QByteArray> renamed = listing(runFolder);
    const bool same = renamed == listing(bareFolder) && renamed == listing(peerFolder);
    for (const QString& folder : {runFolder, bareFolder, peerFolder})
        QDir(folder).removeRecursively();
    QDir(root + QStringLiteral("/home")).removeRecursively();
    if (!peer) {
        std::fprintf(stderr, "rename: Debian's rename (package rename) did not run\n");
        return std::nullopt;
    }
    timing.peer = *peer;
    if (result != RunResult::Done || prompter.alerts != 0 || bareFailures != 0 || !same)
        return std::nullopt;
    return timing;
}

// Milliseconds of processor time to work out the plan of a 10,000-item folder, the folder
// read included, best of five.
double previewMilliseconds(const QString& root) {
    const QString folder = root + QStringLiteral("/preview");
    makeFiles(folder, previewCount);
    LocalFileSystem files;
    const NameChangeOptions options = benchOptions();
    double best = 1e9;
    qsizetype steps = 0;
    for (int round = 0; round < 5; ++round) {
        const double start = processorSeconds(RUSAGE_SELF);
        steps = planNameChange(files, Path::fromText(folder), options).plan.steps.size();
        best = std::min(best, processorSeconds(RUSAGE_SELF) - start);
    }
    QDir(folder).removeRecursively();
    return steps == previewCount ? best * 1000 : -1;
}

}  // namespace

// Three rounds, the run first or last in turn, and the best time of each side: the file
// system's times on this shared machine vary from round to round.
int main() {
    const QString root = benchmarkFolder("rename");

    Timing best{1e9, 1e9, 1e9};
    for (bool runFirst : {false, true, false}) {
        const std::optional<Timing> timing = timeRound(root, runFirst);
        if (!timing) {
            std::fprintf(stderr, "rename: the run, the bare loop and rename disagree\n");
            return 1;
        }
        best.run = std::min(best.run, timing->run);
        best.bare = std::min(best.bare, timing->bare);
        best.peer = std::min(best.peer, timing->peer);
    }
    const double previewMs = previewMilliseconds(root);
    QDir(root).removeRecursively();
    report("rename_seconds", best.run);
    report("rename_bare_seconds", best.bare);
    report("rename_peer_seconds", best.peer);
    report("rename_ratio", best.run / best.bare);
    report("rename_peer_ratio", best.run / best.peer);
    report("rename_preview_10k_ms", previewMs);
    return previewMs < 0 ? 1 : 0;
}
