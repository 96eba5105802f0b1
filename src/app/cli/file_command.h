#pragma once

#include "app/cli/working_folder_command.h"

// `desktidy file [FOLDER]` and `desktidy file --all`.
class FileCommand : public WorkingFolderCommand {
  public:
    QString name() const override { return QStringLiteral("file"); }
    QString summary() const override;

  protected:
    RunResult runOne(DesktidyController& controller, const Path& folder) override;
    RunResult runAll(DesktidyController& controller) override;
    RunPlan planOne(DesktidyController& controller, const Path& folder) override;
    RunPlan::Kind planKind() const override { return RunPlan::Kind::File; }
};
