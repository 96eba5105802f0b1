#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/file_system.h"
#include "platform/notifier.h"
#include "platform/path.h"
#include "platform/prompter.h"
#include "platform/run_observer.h"
#include "platform/run_plan.h"
#include "platform/run_result.h"

// What the user is told by a copying run; packing and unpacking differ only in these.
struct CopyRunTexts {
    QString confirmTitle;
    QString confirmMessage;
    QString notificationTitle;
    QString notificationDescription;
    QString notificationName;
    QString closingMessage;
    RunKind kind = RunKind::Pack;

    static CopyRunTexts pack();
    static CopyRunTexts unpack();
};

// One row: copy source into the folder destination.
struct CopyRow {
    Path source;
    Path destination;
};

// A folder that no copy may replace, nor replace a folder that holds it, with what it is
// for people ("your home folder").
struct KeptFolder {
    Path path;
    QString what;
};

// One list and how to treat what is already at a copy path.
struct CopyList {
    QList<CopyRow> rows;
    bool replaceWithoutAsking = false;
    // The home folder and where the settings and the history are kept: a row whose copy
    // would replace one of them, or a folder above one, is refused.
    QList<KeptFolder> kept;

    // The rows of a pair of parallel text lists as the settings keep them, each path as
    // its UTF-8 bytes; a missing destination is empty.
    static CopyList fromTexts(const QStringList& fromArray, const QStringList& toArray,
                              bool replaceWithoutAsking);
};

// The services a copying run talks to: the prompter for its questions on the way
// ("Overwrite this file?", a file error's Continue or Stop), the observer for its progress.
struct CopyServices {
    Prompter& prompter;
    FileSystem& files;
    RunObserver& observer;
};

// How a copying run went, and what to tell once it has ended.
struct CopyOutcome {
    RunReport report;
    QString closingNotice;    // counts the rows not copied when there are any
    bool notifyDone = false;  // every row was copied: the notification may say so
};

// Copies every row of the plan (planCopies) into its destination folder, in list order.
// An existing item at a copy path is replaced whole, after asking unless
// replaceWithoutAsking; declining skips that row. A replaced item is removed only once
// its copy is complete, and a row that would copy an item onto itself or a folder into
// itself is refused. Partial copies that stopped runs left beside a row's copy path are
// removed before it is copied. Each failure is shown in the file-error alert: "Stop" ends
// the run at once (Cancelled), otherwise the next row runs. It is Failed when any row
// failed. A cancel stops it after the row in hand (Cancelled).
RunResult copyStashery(const CopyRunTexts& texts, const RunPlan& plan, bool replaceWithoutAsking,
                       CopyServices services, CopyOutcome& outcome);

// The copies of a list in order, each from its source to its copy path; a row that must
// not be copied is refused with the alert it shows (Missing when its source or its folder
// is not there, NotAllowed otherwise), and a copy that would replace an existing item is
// marked. kind is Pack or Unpack. Changes nothing.
RunPlan planCopies(const CopyList& list, FileSystem& files, RunKind kind);

// Why planCopies would refuse a row now ("it does not exist."), or nothing.
std::optional<QString> whyRowIsRefused(FileSystem& files, const CopyRow& row,
                                       const QList<KeptFolder>& kept);
