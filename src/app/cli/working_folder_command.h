#pragma once

#include "app/cli/command.h"

class DesktidyController;

// `desktidy file` and `desktidy unfile`: one folder (the stored working folder when none
// is given), or `--all` for every folder of the folder list.
class WorkingFolderCommand : public Command {
  public:
    // kind is RunKind::File or RunKind::Unfile.
    explicit WorkingFolderCommand(RunKind kind) : kind_(kind) {}

    QString name() const override;
    QString summary() const override;
    bool takesDryRun() const override { return true; }
    bool takesJson() const override { return true; }
    int execute(CommandContext& context, const QStringList& arguments) override;

  private:
    bool filing() const { return kind_ == RunKind::File; }
    RunResult runOne(DesktidyController& controller, const Path& folder) const;
    RunResult runAll(DesktidyController& controller) const;
    RunPlan planOne(DesktidyController& controller, const Path& folder) const;

    RunKind kind_;
};
