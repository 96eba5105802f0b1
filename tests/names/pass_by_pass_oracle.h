#pragma once

#include "names/name_change_options.h"
#include "platform/file_system.h"
#include "platform/prompter.h"
#include "platform/run_result.h"

// The name change as it once ran, renaming on disk pass by pass, each pass over a fresh
// listing: the oracle the planned run must match, name for name and alert for alert.
RunResult changeNamesPassByPass(Prompter& prompter, FileSystem& files, const Path& folder,
                                const NameChangeOptions& options);
