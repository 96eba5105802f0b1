#pragma once

#include "app/cli/command.h"

// `desktidy watch`: files new items of the listed folders (or of the folders named) as
// they arrive and settle, until SIGINT or SIGTERM; `--install` and `--uninstall` have the
// user's service manager run it.
class WatchCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("watch"); }
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;
};
