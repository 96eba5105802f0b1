#pragma once

#include "app/cli/command.h"

// `desktidy schedule`: write, remove or show the crontab entry.
class ScheduleCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("schedule"); }
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;
};
