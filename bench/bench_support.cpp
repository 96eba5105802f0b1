#include "bench_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

double peakResidentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

void report(const char* name, double value) {
    std::printf("%s %.3f\n", name, value);
    std::fflush(stdout);
}

QString benchmarkFolder(const char* name) {
    QString base = qEnvironmentVariable("DESKTIDY_BENCH_DIR");
    if (base.isEmpty()) base = QDir::tempPath();
    QString path = base + QStringLiteral("/desktidy-bench-") + QString::fromLatin1(name);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}
