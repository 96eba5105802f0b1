#include "app/gui/desktop_services.h"

#include "settings/settings_store.h"

DesktopServices::DesktopServices()
    : user(UserEnvironment::fromProcess()),
      settingsFile(SettingsStore::defaultFilePath(user.home)),
      state(WindowStateStore::besideSettings(settingsFile)),
      files(localFiles, desktidyStateFolder(user.home)) {}

Services DesktopServices::services() {
    return Services{prompter, notifier,    chooser, files, tools, ToolPaths::fromEnvironment(),
                    user,     settingsFile};
}

void DesktopServices::attachTo(QWidget* window) {
    prompter.setParentWidget(window);
    chooser.setParentWidget(window);
}
