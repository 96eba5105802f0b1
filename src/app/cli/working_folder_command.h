#pragma once

#include "app/cli/command.h"

class DesktidyController;

// The shape shared by `file` and `unfile`: one folder (the stored working folder when
// none is given), or `--all` for every folder of the folder list.
class WorkingFolderCommand : public Command {
  public:
    int execute(CommandContext& context, const QStringList& arguments) override;

  protected:
    virtual RunResult runOne(DesktidyController& controller, const Path& folder) = 0;
    virtual RunResult runAll(DesktidyController& controller) = 0;
    virtual RunPlan planOne(DesktidyController& controller, const Path& folder) = 0;
    virtual RunPlan::Kind planKind() const = 0;
};
