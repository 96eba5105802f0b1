#pragma once

#include <QString>
#include <QStringList>

#include "names/name_change_options.h"
#include "names/name_change_plan.h"
#include "platform/file_system.h"
#include "platform/run_observer.h"
#include "platform/run_plan.h"
#include "platform/run_result.h"

// One batch rename of a folder's items: the plan of names/name_change_plan.h, carried out.
// Every rename is a no-replace move; an alert that ends the run, or a rename that fails,
// leaves the renames made before it. The rules work on text: a name that is not UTF-8 has
// none, and is left as it is.
class NameChangeRun {
  public:
    NameChangeRun(FileSystem& files, Path folder, RunObserver& observer = silentObserver());

    // The question asked before a name change of folder.
    static QString question(const Path& folder);

    // Carries out a plan: its moves in order. Done when every pass ran to its end,
    // Cancelled when the observer stopped it (after the rename in hand), Failed when an
    // alert ended it. What the user is told at the end (the plan's notices, the closing
    // alert, the names no rule could read) is in notices().
    RunResult execute(const NameChangePlan& plan);

    // How the last run went, for its result line.
    const RunReport& report() const { return report_; }
    // The notices to show once the run has ended, in order.
    const QStringList& notices() const { return notices_; }

  private:
    FileError move(const Path& from, const Path& to);
    FileError moveThroughTemporaryName(const Path& from, const Path& to);

    FileSystem& files_;
    Path folder_;
    RunObserver& observer_;
    RunReport report_;
    QStringList notices_;
};
