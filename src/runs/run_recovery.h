#pragma once

#include <QList>

#include "platform/file_system.h"
#include "runs/run_history.h"

// A run whose process ended before its end mark: killed, crashed, the power gone.
struct StoppedRun {
    int number = 0;
    QByteArray kind;
    QList<Path> folders;
    int movesMade = 0;  // its items, as history counts them (RunRecord::itemCount)
    int planned = 0;    // the moves its passes meant to make, as far as they began; 0 unknown
    int putRight = 0;   // temporary names given back and half-made copies removed
    // Items still under a temporary name, as neither their old name nor the one they were
    // going to was free: undo puts them back.
    QList<Path> leftAside;

    // One line: what stopped, what was put right, and what undo can do (a run of copies
    // cannot be undone: it says so); the kind is named in wording's words.
    QString line(Wording wording) const;
};

// Finds the runs that stopped without their end mark and whose process is gone, puts
// right what they left half-way, and marks them so that they are told once: an item left
// under a temporary name (the case pass's, a name change's cycle, or an old item set
// aside while its copy went in) goes back to its name when that is free, else to the name
// it was going to next when the record says which and that is free; a half-made copy is
// removed. The "done" marks the kill took are written for the moves found made, so that
// every later count agrees. Returns the runs found this time. A stopped run stays in the
// history, to be undone or kept.
QList<StoppedRun> recoverStoppedRuns(FileSystem& files, const RunHistory& history);
