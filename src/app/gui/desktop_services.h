#pragma once

#include "app/gui/qt_path_chooser.h"
#include "app/gui/qt_prompter.h"
#include "app/gui/window_state_store.h"
#include "app/services.h"
#include "platform/dbus_notifier.h"
#include "runs/journaling_file_system.h"

// The desktop's services for a run with windows: Qt dialogs and open panels, desktop
// notifications, the real file system and tools, and the store of window frames.
struct DesktopServices {
    DesktopServices();

    Services services();
    // Alerts and open panels belong to this window from now on.
    void attachTo(QWidget* window);

    UserEnvironment user;
    QString settingsFile;
    WindowStateStore state;
    DBusNotifier notifier;
    LocalFileSystem localFiles;
    JournalingFileSystem files;  // every run's moves go into the history
    ProcessToolRunner tools;
    QtPathChooser chooser;
    QtPrompter prompter;
};
