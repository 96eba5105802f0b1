#pragma once

#include "platform/notifier.h"
#include "platform/path_chooser.h"
#include "platform/prompter.h"
#include "platform/user_environment.h"
#include "runs/journaling_file_system.h"
#include "tools/tool_paths.h"
#include "tools/tool_runner.h"

// The desktop services the controller talks to. The window, the command line and the
// tests each bring their own; the controller owns none of them.
struct Services {
    Prompter& prompter;
    Notifier& notifier;
    PathChooser& chooser;  // the window's open panels: no controller operation opens one
    // Every file operation, each written into the record of the run that makes it.
    JournalingFileSystem& files;
    ToolRunner& tools;
    ToolPaths toolPaths;
    UserEnvironment user;
    QString settingsFile;  // empty: the default for the user
};
