#pragma once

#include "app/cli/command.h"

// `desktidy rename [FOLDER] [rules]`: renames the items of FOLDER (default: the stored
// working folder) by the rules of the name-change window.
class RenameCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("rename"); }
    QString summary() const override;
    bool takesDryRun() const override { return true; }
    bool takesJson() const override { return true; }
    int execute(CommandContext& context, const QStringList& arguments) override;
};
