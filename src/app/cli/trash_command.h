#pragma once

#include "app/cli/command.h"

// `desktidy trash` lists the items of the Trash with their labels;
// `desktidy trash delete NAME...` deletes those items for good.
class TrashCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("trash"); }
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;
};
