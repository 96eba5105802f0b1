#include "runs/run_history.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <algorithm>

#include "runs/record_file.h"
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
    QList<int> numbers = runNumbersIn(folder_);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::optional<RunRecord> RunHistory::read(int number) const {
    const std::optional<QByteArray> text = readRecordAt(recordPath(number));
    if (!text) return std::nullopt;
    return parseRunRecord(*text, number);
}

std::optional<RunRecord> RunHistory::readHead(int number) const {
    const int fd = openRecordFile(recordPath(number), O_RDONLY);
    if (fd < 0) return std::nullopt;
    const QByteArray head = readRecordPart(fd, 0, 4096);
    ::close(fd);
    return parseRunRecord(head, number);
}

bool RunHistory::isLive(int number) const {
    const int fd = openRecordFile(recordPath(number), O_RDONLY);
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
        // Copies cannot be undone, and an undo is undone only when asked for by number.
        if (!record || !isUndoable(record->kind)) continue;
        const RunState state = stateOf(*record);
        if (state == RunState::Running) return record;  // for undo to refuse, by its name
        if (record->kind == "undo" || state == RunState::Undone) continue;
        return record;
    }
    return std::nullopt;
}

bool RunHistory::mark(int number, const QByteArray& line) const {
    return appendToRecord(recordPath(number), line);
}

void RunHistory::prune(const QDateTime& now) const {
    removeLeftoverNewRecords(now);
    const QList<int> all = numbers();
    const QDateTime oldest = now.addDays(-keptDays);
    for (qsizetype i = 0; i < all.size(); ++i) {
        const int number = all.at(i);
        const bool beyondCount = all.size() - i > keptRuns;
        if (!beyondCount) {
            const std::optional<RunRecord> record = readHead(number);
            if (!record || !record->time.isValid() || record->time >= oldest) continue;
        }
        // Only a record: a link, a pipe or a file of several names put there stays.
        const Path path = recordPath(number);
        const int fd = openRecordFile(path, O_RDONLY);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
        ::close(fd);
    }
}

void RunHistory::removeLeftoverNewRecords(const QDateTime& now) const {
    DIR* dir = ::opendir(folder_.c_str());
    if (!dir) return;
    QList<Path> leftovers;
    while (const dirent* entry = ::readdir(dir))
        if (QByteArrayView(entry->d_name).startsWith(".new-"))
            leftovers << folder_ / QByteArray(entry->d_name);
    ::closedir(dir);
    // A day old and unlocked: its run was killed before the record took its number.
    for (const Path& path : leftovers) {
        const int fd = openRecordFile(path, O_RDONLY);
        if (fd < 0) continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && st.st_mtim.tv_sec < now.addDays(-1).toSecsSinceEpoch() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
}
