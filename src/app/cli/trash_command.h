#pragma once

#include "app/cli/command.h"

struct TrashEntry;

// `desktidy trash` lists the items of the Trash, newest first, with where each came from;
// `desktidy trash delete NAME...` deletes those items for good, and
// `desktidy trash restore NAME...` puts them back where they came from.
class TrashCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("trash"); }
    QString summary() const override;
    bool takesDryRun() const override { return true; }
    bool takesJson() const override { return true; }
    int execute(CommandContext& context, const QStringList& arguments) override;

  private:
    int list(CommandContext& context);
    // The items the names pick, one each; nullopt once a name that picks none or more
    // than one has been told on err, with the status to end with in status.
    std::optional<QList<Path>> itemsNamed(CommandContext& context, const QStringList& names,
                                          int& status);
};
