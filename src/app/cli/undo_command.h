#pragma once

#include "app/cli/command.h"

// `desktidy undo [RUN]`: undoes the newest run not undone yet, or run RUN.
class UndoCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("undo"); }
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;
};
