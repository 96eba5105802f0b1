#pragma once

#include <QJsonObject>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "platform/path.h"
#include "platform/plan_steps.h"
#include "platform/run_kind.h"

// What a run will do, worked out before anything changes: its steps in the order they are
// made. Executing a run carries out its plan, and a preview shows the same plan.
struct RunPlan {
    RunKind kind = RunKind::File;
    PlanSteps steps;
    // Folders made before the steps (filing's archive folder, made even for no item), and
    // folders removed, when they are empty, once the first afterSteps steps are made.
    struct FolderRemoval {
        qsizetype afterSteps = 0;
        Path folder;
    };
    QList<Path> makeFirst;
    QList<FolderRemoval> removeWhenEmpty;
    // A name change: the notices shown on the way, in order, and the alert that ends the run
    // early (with the item at which it stops), when one does.
    QStringList notices;
    std::optional<QString> stopAlert;
    Path stopItem;

    // The steps that are carried out, not refused.
    qsizetype stepsToMake() const;
    // Puts other's steps, folders and notices after these, as "file all" runs one folder
    // after another. Plans that stop early are not joined.
    void append(RunPlan other);
    qsizetype refusedCount(Refusal why) const;
};

// How a run ended, for its result line: how many items were moved or copied, into how
// many folders, which stayed and why, whether it was cancelled or stopped by an alert.
struct RunReport {
    RunKind kind = RunKind::File;
    int done = 0;
    int folders = 0;  // distinct folders items went into (filing) or came from (unfiling)
    int nameTaken = 0;
    int noMatchingType = 0;
    int notAFolder = 0;
    int notAllowed = 0;
    int leftAlone = 0;  // an undo's items moved since the run, or whose old place is taken
    int failed = 0;
    int total = 0;  // the steps the plan meant to make
    bool cancelled = false;
    std::optional<QString> stopAlert;
    Path stopItem;
    // What the run was about, where its kind alone does not say (an undo: the run it undid).
    QString subject;
    // Lines that follow the result line: the items that stayed and why, the names no rule
    // could read.
    QStringList details;

    int stayed() const {
        return nameTaken + noMatchingType + notAFolder + notAllowed + leftAlone + failed;
    }
    // Counts the refused steps of plan, the stop of a name change and the planned total.
    void countPlan(const RunPlan& plan);
};

// The run's one-line result, as the window and the command line show it, for example
// "Filed 32 items into 6 folders. 3 stayed: 2 with no matching type, 1 name taken." The
// counts are written as locale writes them: the window groups their digits ("5,259") as
// the desktop's language does; plain digits by default, for scripts.
QString resultLine(const RunReport& report, const QLocale& locale = QLocale::c());

// Plan and result for scripts. Paths are JSON strings of textKeepingBytes (see path.h), so
// every name comes back to its exact bytes through bytesOfText.
QJsonObject planJson(const RunPlan& plan);
QJsonObject reportJson(const RunReport& report);

// The one line a preview shows for a step: "SOURCE -> DESTINATION", names shown so that
// every byte is visible, a refused step followed by its reason.
QString planLine(const PlannedStep& step);
