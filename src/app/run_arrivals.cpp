#include "app/run_arrivals.h"

RunArrivals::RunArrivals(RunHistory history) : history_(std::move(history)) {
    const QList<int> numbers = history_.numbers();
    readUpTo_ = numbers.isEmpty() ? 0 : numbers.last();
}

void RunArrivals::readNewRuns() {
    for (const int number : history_.numbers()) {
        if (number <= readUpTo_ && !unfinished_.contains(number)) continue;
        readUpTo_ = std::max(readUpTo_, number);
        // A run still going is read once it has ended; it holds its folders meanwhile.
        if (history_.isLive(number)) {
            unfinished_.insert(number);
            continue;
        }
        unfinished_.remove(number);
        // The watch's own batches move items into category folders, never to the top.
        const std::optional<RunRecord> head = history_.readHead(number);
        if (!head || head->kind == "watch") continue;
        const std::optional<RunRecord> record = history_.read(number);
        if (!record) continue;
        for (const RunEntry& entry : record->entries)
            if (entry.kind == RunEntry::Kind::Move) arrived_.insert(entry.target, entry.identity);
    }
}

bool RunArrivals::cameByRun(const Path& path, FileSystem& files) {
    const auto it = arrived_.constFind(path);
    if (it == arrived_.constEnd()) return false;
    const std::optional<FileStatus> status = files.status(path);
    return status && ItemIdentity{status->device, status->inode} == *it;
}
