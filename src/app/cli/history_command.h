#pragma once

#include "app/cli/command.h"

// `desktidy history`: the runs kept, oldest first.
class HistoryCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("history"); }
    QString summary() const override;
    bool takesJson() const override { return true; }
    int execute(CommandContext& context, const QStringList& arguments) override;
};
