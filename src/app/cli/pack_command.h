#pragma once

#include "app/cli/command.h"
#include "app/desktidy_controller.h"

// A command that works on the pack list or the unpack list.
class PackSideCommand : public Command {
  protected:
    explicit PackSideCommand(PackSide side) : side_(side) {}
    // The text for this command's list.
    QString forSide(const QString& pack, const QString& unpack) const {
        return side_ == PackSide::Pack ? pack : unpack;
    }
    PackSide side_;
};

// `desktidy pack` and `desktidy unpack`: copy every row of the list, with the same
// confirmation, overwrite questions and error alerts as the window, asked on the terminal.
class PackCommand : public PackSideCommand {
  public:
    explicit PackCommand(PackSide side) : PackSideCommand(side) {}
    QString name() const override;
    QString summary() const override;
    bool takesDryRun() const override { return true; }
    bool takesJson() const override { return true; }
    int execute(CommandContext& context, const QStringList& arguments) override;
};
