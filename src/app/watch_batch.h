#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include "platform/path.h"
#include "platform/run_plan.h"

class JournalingFileSystem;
struct Settings;

// How one batch of the watch went.
struct WatchBatchReport {
    bool folderBusy = false;  // another run held the folder: nothing was done
    int runNumber = 0;        // the batch's record in the history; 0 when nothing changed
    RunReport report;
    // The folders that received items, as paths inside the watched folder ("Images",
    // "Archive/Images"), in byte order.
    QList<QByteArray> receivingFolders;
    QString failure;  // how many moves failed and the first reason; empty when none did
};

// Carries out one batch of the watch: files exactly the named loose items of folder by the
// rules of `file` (the type table, the archive date; a taken name keeps its item where it
// is; hidden items are never touched), as one run of kind "watch" in the history, with the
// folder locked against other runs. progress hears of each item, and its cancel stops the
// batch after the item in hand (the record then ends as stopped).
//
// This is the one place that carries out a batch: the rest of the watch only decides which
// items are due and tells what became of them.
WatchBatchReport carryOutWatchBatch(JournalingFileSystem& files, const Settings& settings,
                                    const Path& folder, const QList<QByteArray>& names,
                                    const RunProgress& progress);
