#pragma once

#include <QList>

#include "platform/file_system.h"
#include "runs/run_history.h"

// A run whose process ended before its end mark: killed, crashed, the power gone.
struct StoppedRun {
    int number = 0;
    QByteArray kind;
    QList<Path> folders;
    int movesMade = 0;  // marked done, or found made when the kill took the mark
    int planned = 0;    // the moves its passes meant to make, as far as they began; 0 unknown
    int putRight = 0;   // temporary names given back and half-made copies removed

    // One line for the command line: what stopped and how to put it back.
    QString line() const;
};

// Finds the runs that stopped without their end mark and whose process is gone, puts
// right what they left half-way, and marks them so that they are told once: an item left
// under a temporary name (the case pass's, or an old item set aside while its copy went
// in) goes back to its name when that is free; a half-made copy is removed. Returns the
// runs found this time. A stopped run stays in the history, to be undone or kept.
QList<StoppedRun> recoverStoppedRuns(FileSystem& files, const RunHistory& history);
