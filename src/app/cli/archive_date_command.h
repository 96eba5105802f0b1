#pragma once

#include "app/cli/command.h"

// `desktidy archive-date` (print it), `desktidy archive-date none` and
// `desktidy archive-date YYYY [MM [DD]]`: the day on or before which loose items are
// archived when a folder is filed. Saved at once.
class ArchiveDateCommand : public Command {
  public:
    QString name() const override { return QStringLiteral("archive-date"); }
    QString summary() const override;
    int execute(CommandContext& context, const QStringList& arguments) override;
};
