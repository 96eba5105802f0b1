#pragma once

#include "app/cli/command.h"

// `desktidy types [CATEGORY]`, `desktidy types add CATEGORY TYPE [DESCRIPTION]` and
// `desktidy types remove CATEGORY TYPE`: the type lists that decide where items are
// filed. Changes are saved at once.
class TypesCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("types"); }
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;

  private:
    int print(CommandContext& context, int category);
    int add(CommandContext& context, int category, const QStringList& arguments);
    int remove(CommandContext& context, int category, const QString& type);
};
