#pragma once

#include <QList>
#include <QStringList>

#include "platform/path.h"

// Starts the window: makes the desktop's services (Qt dialogs and open panels, desktop
// notifications, the real file system and tools), the controller and the main window,
// opens folders (those the arguments named, absolute), starts the background update check
// when the user wants it, and runs the event loop. Returns the process's exit status.
int runDesktopApplication(int& argc, char** argv, const QStringList& arguments,
                          const QList<Path>& folders);
