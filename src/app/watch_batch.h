#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include "platform/path.h"
#include "platform/run_observer.h"
#include "platform/run_plan.h"

class JournalingFileSystem;
struct Settings;

// How one batch of the watch went.
struct WatchBatchReport {
    // The run was refused: another run holds the folder, or it cannot be locked (refusal
    // says why). Nothing was done.
    bool folderBusy = false;
    QString refusal;
    int runNumber = 0;  // the batch's record in the history; 0 when nothing changed
    RunReport report;
    // The folders that received items, as paths inside the watched folder ("Images",
    // "Archive/Images"), in byte order.
    QList<QByteArray> receivingFolders;
    QString failure;  // how many moves failed and the first reason; empty when none did
};

// Carries out one batch of the watch as one run of the run pipeline, of kind "watch":
// files exactly the named loose items of folder by the rules of `file` (the type table, the
// archive date; a taken name keeps its item where it is; hidden items are never touched),
// with the folder locked against other runs and the run recorded in the history. The
// observer hears of each item, and its stop ends the batch after the item in hand (the
// record then ends as stopped). The batch asks nothing and says nothing itself: its report
// is the caller's to tell.
WatchBatchReport carryOutWatchBatch(JournalingFileSystem& files, const Settings& settings,
                                    const Path& folder, const QList<QByteArray>& names,
                                    RunObserver& observer);
