#pragma once

#include "app/cli/command.h"

class DesktidyController;

// `desktidy file` and `desktidy unfile`: one folder (the stored working folder when none
// is given), or `--all` for every folder of the folder list.
class WorkingFolderCommand : public Command {
  public:
    // kind is RunPlan::Kind::File or RunPlan::Kind::Unfile.
    explicit WorkingFolderCommand(RunPlan::Kind kind) : kind_(kind) {}

    QString name() const override;
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;

  private:
    bool filing() const { return kind_ == RunPlan::Kind::File; }
    RunResult runOne(DesktidyController& controller, const Path& folder) const;
    RunResult runAll(DesktidyController& controller) const;
    RunPlan planOne(DesktidyController& controller, const Path& folder) const;

    RunPlan::Kind kind_;
};
