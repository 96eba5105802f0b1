#pragma once

#include "app/cli/pack_command.h"
#include "settings/settings.h"

// `desktidy pack-list` and `desktidy unpack-list`: print the rows (numbered from 1), or
// edit the list with add SRC DEST, remove N..., reverse (pack list only) or clear (both
// lists). Every edit is saved at once.
class PackListCommand : public PackSideCommand {
  public:
    explicit PackListCommand(PackSide side) : PackSideCommand(side) {}
    QString name() const override;
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;

  private:
    int print(CommandContext& context) const;
    int add(CommandContext& context, const QStringList& paths);
    int remove(CommandContext& context, const QStringList& numbers);
    QString usageText() const;
    int usage(CommandContext& context, const QString& problem) const;
};
