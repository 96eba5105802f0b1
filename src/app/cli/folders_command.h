#pragma once

#include "app/cli/command.h"

// `desktidy folders`, `desktidy folders add PATH...`, `desktidy folders remove PATH...`:
// the list of folders filed in one go. Changes are saved at once.
class FoldersCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("folders"); }
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;

  private:
    int add(CommandContext& context, const QStringList& paths);
    int remove(CommandContext& context, const QStringList& paths);
};
