#pragma once

#include "app/cli/command.h"

// `desktidy remove-app PATH [--uncheck N]...`: the removal list of an application;
// with --yes its checked items are moved to the Trash.
class RemoveAppCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("remove-app"); }
    QString summary() const override;
    bool takesDryRun() const override { return true; }
    bool takesJson() const override { return true; }
    int execute(CommandContext& context, const QStringList& arguments) override;
};
