// The watch, measured:
// - watch_idle_cpu_ms_per_60s: processor time of an idle `desktidy watch` (the program as
//   the service runs it; from /proc/PID/schedstat, in nanoseconds), measured over
//   IDLE_SECONDS (10 by default) and scaled to 60 s; the target is under 10 ms.
//   watch_idle_cpu_ratio is the same against a `sleep` process over the same span;
// - watch_latency_median_ms and watch_latency_max_ms: from a file's close to its arrival in
//   its category folder (seen through inotify), ten files one after another, with the
//   program; watch_latency_over_settle_ms is the worst less the settle time (SETTLE_SECONDS,
//   1 by default); the target is at most 500 ms;
// - 10,000 files made at once by another process, watched and filed in this one (the
//   watcher and the batch adapter the program uses): watch_burst_batches (a few), and
//   against the rename floor (the same 10,000 no-replace renames in a bare loop, timed in a
//   child in the same run, as bench_filing's floor) watch_burst_run_ratio, the processor
//   time of the batch runs (plan, lock, record, moves; the target is at most 1.5), and
//   watch_burst_total_ratio, everything the watch spent until all were filed (its events
//   and settling too). Best of five rounds, each on a fresh folder.
//   bench_watch [IDLE_SECONDS [SETTLE_SECONDS]]

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/watch_batch.h"
#include "bench_support.h"
#include "runs/journaling_file_system.h"
#include "settings/settings.h"
#include "support/event_loop_wait.h"
#include "watch/folder_watcher.h"

namespace {

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Processor nanoseconds the process has had, all its threads together.
double processorNanoseconds(qint64 pid) {
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task) + QStringLiteral("/schedstat"));
        if (stat.open(QIODevice::ReadOnly)) total += stat.readAll().split(' ').value(0).toDouble();
    }
    return total;
}

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Waits until count names have been moved into the folder watched at fd; false after a
// minute without one.
bool waitForArrivals(int fd, int count) {
    alignas(inotify_event) char buffer[64 * 1024];
    while (count > 0) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 60000) <= 0) return false;
        const ssize_t length = ::read(fd, buffer, sizeof buffer);
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_MOVED_TO) --count;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    return true;
}

double processorSeconds(int who) {
    rusage usage;
    ::getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

void makeFiles(const QString& folder, const QString& prefix, int count) {
    for (int i = 0; i < count; ++i)
        ::close(
            ::creat(native(folder + u'/' + prefix + QString::number(i) + ".jpg").c_str(), 0644));
}

// In a child: count files made in folder and renamed into folder/Images; the processor
// seconds of the renames.
double renameFloor(const QString& folder, int count) {
    QDir().mkpath(folder + QStringLiteral("/Images"));
    makeFiles(folder, QStringLiteral("f"), count);
    int ends[2];
    if (::pipe(ends) != 0) std::abort();
    if (::fork() == 0) {
        std::vector<std::pair<std::string, std::string>> moves;
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("f%1.jpg").arg(i);
            moves.emplace_back(native(folder + u'/' + name),
                               native(folder + QStringLiteral("/Images/") + name));
        }
        const double before = processorSeconds(RUSAGE_SELF);
        for (const auto& [from, to] : moves)
            if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
                ::_exit(1);
        const double spent = processorSeconds(RUSAGE_SELF) - before;
        if (::write(ends[1], &spent, sizeof spent) != sizeof spent) ::_exit(1);
        ::_exit(0);
    }
    ::close(ends[1]);
    double spent = -1;
    if (::read(ends[0], &spent, sizeof spent) != sizeof spent) spent = -1;
    ::close(ends[0]);
    int status = 0;
    ::wait(&status);
    return status == 0 ? spent : -1;
}

class Watch {
  public:
    Watch(const QString& home, const QString& folder, double settle) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_STATE_HOME"),
                           home + QStringLiteral("/.local/state"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        process_.setProcessEnvironment(environment);
        process_.setStandardInputFile(QProcess::nullDevice());
        process_.start(
            QStringLiteral(DESKTIDY_BINARY),
            {QStringLiteral("watch"), QStringLiteral("--settle"), QString::number(settle), folder});
        while (!err_.contains("Watching") && process_.waitForReadyRead(60000))
            err_ += process_.readAllStandardError();
    }
    ~Watch() {
        process_.terminate();
        process_.waitForFinished();
    }
    qint64 pid() const { return process_.processId(); }

  private:
    QProcess process_;
    QByteArray out_, err_;
};

// Files each batch with the program's adapter and adds up what the runs cost.
class TimedBatches : public BatchFiler {
  public:
    explicit TimedBatches(JournalingFileSystem& files) : files_(files) {
        settings_.folderNames = {"Archive", "Audio",  "Compressed", "Data", "Images",
                                 "Layouts", "Videos", "Web",        "Words"};
        settings_.types(Category::Image) = {"jpg - JPEG image"};
    }
    Outcome fileBatch(const Path& folder, const QList<QByteArray>& names) override {
        const double before = processorSeconds(RUSAGE_THREAD);
        const WatchBatchReport batch =
            carryOutWatchBatch(files_, settings_, folder, names, silentObserver());
        runSeconds += processorSeconds(RUSAGE_THREAD) - before;
        filed += batch.report.done;
        ++batches;
        return Outcome::Done;
    }
    double runSeconds = 0;
    int filed = 0, batches = 0;

  private:
    JournalingFileSystem& files_;
    Settings settings_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const double settle = argc > 2 ? std::atof(argv[2]) : 1.0;
    constexpr int burst = 10000;
    const QString root = benchmarkFolder("watch");
    const QString home = root + QStringLiteral("/home");
    QDir().mkpath(home + QStringLiteral("/run"));

    {
        const QString desk = root + QStringLiteral("/Desk");
        QDir().mkpath(desk + QStringLiteral("/Images"));
        Watch watch(home, desk, settle);
        QProcess sleeper;
        sleeper.start(QStringLiteral("sleep"), {QString::number(idleSeconds + 5)});
        sleeper.waitForStarted();
        std::this_thread::sleep_for(std::chrono::seconds(1));  // past its start
        const double watchBefore = processorNanoseconds(watch.pid());
        const double sleepBefore = processorNanoseconds(sleeper.processId());
        std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
        const double idle = processorNanoseconds(watch.pid()) - watchBefore;
        const double floor = processorNanoseconds(sleeper.processId()) - sleepBefore;
        sleeper.kill();
        sleeper.waitForFinished();
        report("watch_idle_cpu_ms_per_60s", idle / 1e6 * 60 / idleSeconds);
        report("watch_idle_cpu_ratio", floor > 0 ? idle / floor : idle / 1e3);

        const int images = ::inotify_init1(IN_CLOEXEC);
        ::inotify_add_watch(images, native(desk + QStringLiteral("/Images")).c_str(), IN_MOVED_TO);
        std::vector<double> latencies;
        for (int i = 0; i < 10; ++i) {
            const int fd = ::open(native(desk + QStringLiteral("/late %1.jpg").arg(i)).c_str(),
                                  O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            (void)!::write(fd, "pixels", 6);
            ::close(fd);
            const double closed = now();
            if (!waitForArrivals(images, 1)) {
                std::fprintf(stderr, "a file was not filed within a minute\n");
                return 1;
            }
            latencies.push_back((now() - closed) * 1000);
        }
        ::close(images);
        std::sort(latencies.begin(), latencies.end());
        report("watch_latency_median_ms", latencies[latencies.size() / 2]);
        report("watch_latency_max_ms", latencies.back());
        report("watch_latency_over_settle_ms", latencies.back() - settle * 1000);
    }

    double bestRun = 1e9, bestTotal = 1e9;
    int batches = 0;
    LocalFileSystem local;
    JournalingFileSystem files(local, Path(QFile::encodeName(home + "/.local/state/Desktidy")));
    for (int round = 0; round < 5; ++round) {
        const QString desk = root + QStringLiteral("/Burst%1").arg(round);
        QDir().mkpath(desk);
        TimedBatches filer(files);
        FolderWatcher watcher(filer, [](const QString&) {});
        watcher.setSettleTime(qint64(settle * 1000));
        watcher.setFolders({Path(QFile::encodeName(desk))});
        const double before = processorSeconds(RUSAGE_SELF);
        if (::fork() == 0) {
            makeFiles(desk, QStringLiteral("b"), burst);
            ::_exit(0);
        }
        const bool done = waitUntil([&] { return filer.filed == burst; }, 300);
        const double total = processorSeconds(RUSAGE_SELF) - before;
        int status = 0;
        ::wait(&status);
        const double floor = renameFloor(root + QStringLiteral("/Floor%1").arg(round), burst);
        if (!done || floor <= 0) {
            std::fprintf(stderr, "the burst was not filed, or the floor's renames failed\n");
            return 1;
        }
        if (filer.runSeconds / floor < bestRun) batches = filer.batches;
        bestRun = std::min(bestRun, filer.runSeconds / floor);
        bestTotal = std::min(bestTotal, total / floor);
    }
    report("watch_burst_batches", batches);
    report("watch_burst_run_ratio", bestRun);
    report("watch_burst_total_ratio", bestTotal);
    QDir(root).removeRecursively();
    return 0;
}
