// How fast Ctrl+C stops a large filing: files 100,000 items with the command line, sends
// SIGINT once filing is under way, and times the wait for the process to end. Prints
// sigint_stop_seconds (the target is at most 1) and sigint_record_closed (1 when the
// run's record ends with its "stopped" mark, as an interrupted run's must).

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <chrono>
#include <thread>

#include "bench_support.h"
#include "runs/journaling_file_system.h"
#include "runs/run_history.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int count = 100000;
    const QString root = benchmarkFolder("interrupt");
    const QString home = root + QStringLiteral("/home");
    const QString desk = root + QStringLiteral("/Desk");
    QDir().mkpath(home);
    QDir().mkpath(desk);
    for (int i = 0; i < count; ++i)
        ::close(::creat(QFile::encodeName(desk + QStringLiteral("/item %1.jpg").arg(i)), 0644));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/.local/state"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QStringLiteral(DESKTIDY_BINARY),
                  {QStringLiteral("--yes"), QStringLiteral("file"), desk});
    // Under way: the category folder is made with the first move; then let it run a while.
    while (!QFile::exists(desk + QStringLiteral("/Images")) &&
           process.state() != QProcess::NotRunning)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (process.state() == QProcess::NotRunning) {
        std::fprintf(stderr, "the filing ended before the signal\n");
        return 1;
    }
    double stop = 0;
    stop = secondsOf([&] {
        ::kill(pid_t(process.processId()), SIGINT);
        process.waitForFinished(60000);
    });
    report("sigint_exit_status", process.exitCode());
    report("sigint_stop_seconds", stop);

    const RunHistory history(desktidyStateFolder(home) / "history");
    LocalFileSystem files;
    const QList<int> numbers = history.numbers();
    const std::optional<RunRecord> record =
        numbers.isEmpty() ? std::nullopt : history.read(numbers.last());
    report("sigint_items_filed", record ? record->itemCount(files) : 0);
    report("sigint_record_closed", record && record->end == "stopped" ? 1 : 0);
    QDir(root).removeRecursively();
    return 0;
}
