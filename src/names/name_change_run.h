#pragma once

#include <QString>
#include <functional>

#include "names/name_change_options.h"
#include "names/name_change_plan.h"
#include "platform/file_system.h"
#include "platform/prompter.h"
#include "platform/run_plan.h"
#include "platform/run_result.h"

// One batch rename of a folder's items: a confirmation, then the plan of
// names/name_change_plan.h, carried out. Every rename is a no-replace move; an alert that
// ends the run, or a rename that fails, leaves the renames made before it. There is no
// undo. The rules work on text: a name that is not UTF-8 has none, and is left as it is.
class NameChangeRun {
  public:
    NameChangeRun(Prompter& prompter, FileSystem& files, Path folder, RunProgress progress = {});

    // Called with the folder once the user has confirmed, for the recent-folders list.
    std::function<void(const Path& folder)> noteRecentFolder;

    // The whole run, by one copy of options taken once the user has confirmed. Done when
    // every pass ran to its end (the closing notice shown, listing the names no rule could
    // read),
    // Cancelled when the user declined or cancelled it, Failed when an alert ended it.
    RunResult doChangeNames(const NameChangeOptions& options);

    // Carries out a plan: its moves in order, then its notices and its closing alert.
    // A cancel stops it after the rename in hand, before the notices.
    RunResult execute(const NameChangePlan& plan);

    // How the last run went, for its result line.
    const RunReport& report() const { return report_; }

  private:
    FileError move(const Path& from, const Path& to);
    FileError moveThroughTemporaryName(const Path& from, const Path& to);

    Prompter& prompter_;
    FileSystem& files_;
    Path folder_;
    RunProgress progress_;
    RunReport report_;
};
