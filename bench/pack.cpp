// Packing a tree of about 20,000 files and 1 GB of mixed sizes, against `cp -a` on the
// same tree in the same run. Prints pack_ratio (program / cp); the target is at most 1.2.
// As the program runs, the run is journalled.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <random>
#include <vector>

#include "app/desktidy_controller.h"
#include "bench_support.h"
#include "platform/preset_path_chooser.h"
#include "runs/journaling_file_system.h"
#include "tools/tool_runner.h"

namespace {

// Answers every question with its default button and shows nothing.
class SilentPrompter : public Prompter {
  public:
    bool confirm(const QString&, const QString&, const QString&) override { return true; }
    void notice(const QString&) override {}
    void criticalNotice(const QString&) override {}
    FileErrorChoice fileError(const FileError& error) override {
        std::fprintf(stderr, "copy failed: %s\n", qPrintable(error.message));
        return FileErrorChoice::Stop;
    }
};

class SilentNotifier : public Notifier {
  public:
    void notify(const QString&, const QString&, const QString&) override {}
};

constexpr int folders = 200;
constexpr int filesPerFolder = 100;

// Sizes by position: every 400th file 10 MB, every 20th 256 KB, the rest 1 to 24 KB.
qint64 sizeOfFile(int index, std::mt19937& random) {
    if (index % 400 == 0) return qint64(10) << 20;
    if (index % 20 == 0) return qint64(256) << 10;
    return std::uniform_int_distribution<qint64>(1 << 10, 24 << 10)(random);
}

qint64 buildTree(const QString& root) {
    std::mt19937 random(20240601);
    QByteArray noise(11 << 20, Qt::Uninitialized);
    for (char& c : noise) c = char(random());
    qint64 total = 0;
    int index = 0;
    for (int f = 0; f < folders; ++f) {
        const QString folder = QStringLiteral("%1/group%2/set%3").arg(root).arg(f / 10).arg(f % 10);
        QDir().mkpath(folder);
        for (int i = 0; i < filesPerFolder; ++i, ++index) {
            const qint64 size = sizeOfFile(index, random);
            QFile file(QStringLiteral("%1/file%2.dat").arg(folder).arg(i));
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(file.fileName()));
            file.write(noise.constData() + (index * 4099) % (noise.size() - size), size);
            total += size;
        }
    }
    return total;
}

// Wall-clock and processor seconds (user and system) of one copy made by a child process.
struct Timing {
    double wall = 0;
    double processor = 0;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double childProcessorSeconds() {
    struct rusage usage;
    ::getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs copy in a child, then removes the target and flushes the disk, so that the next
// copy starts alike.
template <typename F>
Timing timeChild(const QString& target, F&& copy) {
    QDir().mkpath(target);
    const double processorBefore = childProcessorSeconds();
    Timing timing;
    timing.wall = secondsOf(copy);
    timing.processor = childProcessorSeconds() - processorBefore;
    QDir(target).removeRecursively();
    ::sync();
    return timing;
}

Timing timeCp(const QString& source, const QString& target) {
    return timeChild(target, [&] {
        if (QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), source, target}) != 0)
            qFatal("cp -a failed");
    });
}

Timing timePack(DesktidyController& controller, const QString& source, const QString& target) {
    controller.draft().packRows = {{source, target}};
    controller.draft().packOverwrite = true;
    controller.saveSetup();  // a run replaces without asking only as saved
    // In a child process as well, so that both start alike.
    return timeChild(target, [&] {
        const pid_t child = ::fork();
        if (child == 0) ::_exit(controller.copyPackRows(PackSide::Pack) == RunResult::Done ? 0 : 1);
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || status != 0)
            qFatal("packStashery failed");
    });
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString base = benchmarkFolder("pack");
    const QString source = base + QStringLiteral("/Documents");
    const qint64 bytes = buildTree(source);
    ::sync();
    std::printf("tree: %d files, %.0f MB\n", folders * filesPerFolder, double(bytes) / (1 << 20));

    SilentPrompter prompter;
    SilentNotifier notifier;
    PresetPathChooser chooser;
    LocalFileSystem local;
    JournalingFileSystem files(local, Path::fromText(base + QStringLiteral("/state")));
    ProcessToolRunner tools;
    const UserEnvironment user{QStringLiteral("bench"), base};
    Services services{prompter, notifier,    chooser, files,
                      tools,    ToolPaths(), user,    base + QStringLiteral("/settings.conf")};
    DesktidyController controller(services, BundleDefaults());

    // Each round times both, one right after the other, so that they share the machine's
    // state (other work, the host's disk); the order alternates, so that neither always
    // inherits the other's write-back. The medians of the rounds are reported.
    std::vector<double> cpWall, packWall, wallRatio, processorRatio;
    for (int round = 0; round < 4; ++round) {
        Timing cp, pack;
        if (round % 2 == 1) pack = timePack(controller, source, base + "/pack");
        cp = timeCp(source, base + QStringLiteral("/cp"));
        if (round % 2 == 0) pack = timePack(controller, source, base + "/pack");
        cpWall.push_back(cp.wall);
        packWall.push_back(pack.wall);
        wallRatio.push_back(pack.wall / cp.wall);
        processorRatio.push_back(pack.processor / cp.processor);
    }
    report("cp_seconds", median(cpWall));
    report("pack_seconds", median(packWall));
    report("pack_processor_ratio", median(processorRatio));
    report("pack_ratio", median(wallRatio));

    QDir(base).removeRecursively();
    return 0;
}
