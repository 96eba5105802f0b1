#pragma once

#include <QHash>
#include <QSet>

#include "platform/file_system.h"
#include "runs/run_history.h"

// The items that Desktidy's own runs have moved in since the watch began: an undo putting
// them back, an unfiling, a name change. The watch leaves such an item where the run put
// it; filing it again would take back what the user has just asked for.
class RunArrivals {
  public:
    // Counts the runs after the newest one in history now.
    explicit RunArrivals(RunHistory history);

    // Whether a run moved the item now at path there (the same device and inode).
    bool cameByRun(const Path& path, FileSystem& files);
    // Takes in the runs that have ended since the last call.
    void refresh() { readNewRuns(); }

  private:
    // Reads the records of the runs that have ended since the last call.
    void readNewRuns();

    RunHistory history_;
    int readUpTo_ = 0;
    QSet<int> unfinished_;               // runs that were still going when last looked at
    QHash<Path, ItemIdentity> arrived_;  // where each moved item was put
};
