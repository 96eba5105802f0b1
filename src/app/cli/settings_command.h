#pragma once

#include "app/cli/command.h"

// `desktidy settings [show]` and `desktidy settings reset`.
class SettingsCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("settings"); }
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;
};
