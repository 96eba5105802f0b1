#pragma once

// Every change this process makes to the disk is counted here, in one place for the file
// operations (LocalFileSystem) and one for the run records (RunJournal): a move, a folder
// made or removed, an item removed, a step of a copy, a store into a record, a record's
// sync. A test gives the program DESKTIDY_CRASH_AFTER_CHANGES=k in its environment, and
// the process kills itself with SIGKILL right after its k-th change: a crash at every
// point of a run in turn, as the next start and undo must put right. Unset (or not a
// positive number), nothing happens but one compare a change.

namespace disk_changes {
// Changes left before the kill; 0: none is asked for.
extern long long countdown;
[[noreturn]] void crashNow();
}  // namespace disk_changes

inline void countDiskChange() {
    if (disk_changes::countdown > 0 && --disk_changes::countdown == 0) disk_changes::crashNow();
}

// The result of a system call that changes the disk (0 on success), counted when it did.
inline int countedChange(int result) {
    if (result == 0) countDiskChange();
    return result;
}
