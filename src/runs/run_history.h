#pragma once

#include <QDateTime>
#include <QList>
#include <optional>

#include "platform/run_kind.h"
#include "runs/run_record.h"

// How a run stands, as the history lists it.
enum class RunState {
    Running,  // its process holds the record
    Done,
    Stopped,  // cancelled part-way, or its process died before the end
    Failed,   // ended, but items it should have moved did not move
    Undone,
};
QString runStateName(RunState state);

// The records in the history folder, numbered in the order the runs began.
class RunHistory {
  public:
    static constexpr int keptRuns = 100;
    static constexpr int keptDays = 90;

    explicit RunHistory(Path folder) : folder_(std::move(folder)) {}

    const Path& folder() const { return folder_; }
    Path recordPath(int number) const;
    // Every run's number, oldest first.
    QList<int> numbers() const;
    std::optional<RunRecord> read(int number) const;
    // The header only (kind, folders, time), read from the start of the record.
    std::optional<RunRecord> readHead(int number) const;
    // Whether the run's process is still writing it: it holds the record's lock.
    bool isLive(int number) const;
    RunState stateOf(const RunRecord& record) const;
    // The run a plain undo takes: the newest that is not undone, passing over undos and
    // copies (pack, unpack). When that newest one is still running it is the one given,
    // for undo to refuse by its name rather than reach past it to an older run.
    std::optional<RunRecord> newestToUndo() const;

    // Appends a mark to a record ("undone-by 12", "noticed").
    bool mark(int number, const QByteArray& line) const;

    // Removes the records beyond the newest keptRuns and those older than keptDays;
    // records of live runs stay. What a killed run left of a record that had not yet
    // taken its number goes too.
    void prune(const QDateTime& now) const;

  private:
    void removeLeftoverNewRecords(const QDateTime& now) const;

    Path folder_;
};
