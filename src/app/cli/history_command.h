#pragma once

#include "app/cli/command.h"

// `desktidy history`: the runs kept, oldest first.
class HistoryCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("history"); }
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;
};
