#include <QDir>

#include "app/desktidy_controller.h"

namespace {

// systemd reads the user's own units from $XDG_CONFIG_HOME/systemd/user.
WatchService watchService(Services& services, const QString& home, const QString& executable) {
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        configHome = home + QStringLiteral("/.config");
    return WatchService(
        services.tools, services.prompter,
        WatchService::placesFor(configHome, services.toolPaths.systemctl, executable));
}

}  // namespace

RunResult DesktidyController::startWatchService() {
    saveSetup();
    return watchService(services_, home_, executable_).install();
}

RunResult DesktidyController::stopWatchService() {
    saveSetup();
    return watchService(services_, home_, executable_).uninstall();
}

WatchService::State DesktidyController::watchServiceState() {
    return watchService(services_, home_, executable_).state();
}
