#pragma once

#include "app/cli/command.h"
#include "settings/settings.h"

// `desktidy types [CATEGORY]`, `desktidy types add CATEGORY TYPE [DESCRIPTION]`,
// `desktidy types remove CATEGORY TYPE` and `desktidy types which TYPE`: the type lists
// that decide where items are filed. Changes are saved at once.
class TypesCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("types"); }
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;

  private:
    int print(CommandContext& context, std::optional<Category> category);  // none: all
    int add(CommandContext& context, Category category, const QStringList& arguments);
    int remove(CommandContext& context, Category category, const QString& type);
    int which(CommandContext& context, const QString& type);
};
