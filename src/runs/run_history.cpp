#include "runs/run_history.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <algorithm>

#include "runs/run_journal.h"

QString runStateName(RunState state) {
    switch (state) {
        case RunState::Running:
            return QStringLiteral("running");
        case RunState::Done:
            return QStringLiteral("done");
        case RunState::Stopped:
            return QStringLiteral("stopped");
        case RunState::Failed:
            return QStringLiteral("failed");
        case RunState::Undone:
            return QStringLiteral("undone");
    }
    return {};
}

Path RunHistory::recordPath(int number) const {
    return folder_ / (QByteArray::number(number) + ".run");
}

QList<int> RunHistory::numbers() const {
    QList<int> numbers;
    for (const QString& name :
         QDir(QFile::decodeName(folder_.bytes())).entryList({QStringLiteral("*.run")}, QDir::Files))
        if (const int number = name.chopped(4).toInt(); number > 0) numbers << number;
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::optional<RunRecord> RunHistory::read(int number) const {
    QFile file(QFile::decodeName(recordPath(number).bytes()));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return parseRunRecord(file.readAll(), number);
}

std::optional<RunRecord> RunHistory::readHead(int number) const {
    QFile file(QFile::decodeName(recordPath(number).bytes()));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return parseRunRecord(file.read(4096), number);
}

bool RunHistory::isLive(int number) const {
    const int fd = ::open(recordPath(number).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

RunState RunHistory::stateOf(const RunRecord& record) const {
    if (record.undone) return RunState::Undone;
    if (record.end == "done") return RunState::Done;
    if (record.end == "failed") return RunState::Failed;
    if (record.end.isEmpty() && isLive(record.number)) return RunState::Running;
    return RunState::Stopped;
}

std::optional<RunRecord> RunHistory::newestToUndo() const {
    const QList<int> all = numbers();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        std::optional<RunRecord> record = read(*it);
        if (!record || record->kind == "undo") continue;
        const RunState state = stateOf(*record);
        if (state == RunState::Done || state == RunState::Stopped || state == RunState::Failed)
            return record;
    }
    return std::nullopt;
}

bool RunHistory::mark(int number, const QByteArray& line) const {
    return appendToRecord(recordPath(number), line);
}

void RunHistory::prune(const QDateTime& now) const {
    const QList<int> all = numbers();
    const QDateTime oldest = now.addDays(-keptDays);
    for (qsizetype i = 0; i < all.size(); ++i) {
        const int number = all.at(i);
        const bool beyondCount = all.size() - i > keptRuns;
        if (!beyondCount) {
            const std::optional<RunRecord> record = readHead(number);
            if (!record || !record->time.isValid() || record->time >= oldest) continue;
        }
        if (!isLive(number)) ::unlink(recordPath(number).c_str());
    }
}
