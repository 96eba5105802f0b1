#pragma once

#include <QDateTime>
#include <functional>

#include "platform/file_system.h"
#include "platform/path_chooser.h"
#include "platform/prompter.h"
#include "platform/trash_location.h"
#include "tools/tool_paths.h"
#include "tools/tool_runner.h"

// What the Trash commands work with. The clock is here so tests can fix the time that
// names a moved item and dates the Trash record.
struct TrashServices {
    Prompter& prompter;
    PathChooser& chooser;
    FileSystem& files;
    ToolRunner& tools;
    ToolPaths toolPaths;
    TrashLocation trash;
    Path home;
    std::function<QDateTime()> now;
};
