#pragma once

#include "app/cli/command.h"

// Which of the two copy lists a command works on.
enum class PackSide { Pack, Unpack };

// `desktidy pack` and `desktidy unpack`: copy every row of the list, with the same
// confirmation, overwrite questions and error alerts as the window, asked on the terminal.
class PackCommand : public Command {
public:
    explicit PackCommand(PackSide side) : side_(side) {}
    QString name() const override;
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;

private:
    PackSide side_;
};
