#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "platform/prompter.h"
#include "platform/run_result.h"
#include "schedule/crontab_entry.h"
#include "tools/tool_runner.h"

// Reads and writes the user's crontab through the crontab tool, keeping every line that
// is not the program's own byte for byte.
class Scheduler {
  public:
    Scheduler(ToolRunner& tools, Prompter& prompter, QString crontabTool)
        : tools_(tools), prompter_(prompter), crontabTool_(std::move(crontabTool)) {}

    // Replaces the program's lines by entry, or removes them when entry is nullopt, and
    // tells the user how it went.
    RunResult write(const std::optional<QByteArray>& entry);

    // The current crontab; nullopt (after the critical notice) when it cannot be read or
    // the tool is missing. A user with no crontab yet has an empty one.
    std::optional<QByteArray> readCrontab();

    static const QString readFailureMessage;
    // When the crontab tool cannot be started at all, most often because the cron
    // package is not installed.
    static const QString missingToolMessage;

  private:
    ToolRunner& tools_;
    Prompter& prompter_;
    QString crontabTool_;
};
