#include "app/desktidy_controller.h"

#include "platform/text.h"

DesktidyController::DesktidyController(Services s, BundleDefaults bundle)
    : services(std::move(s)),
      osUser(services.user.user),
      osHome(services.user.home),
      myDefaults(std::move(bundle.myDefaults)),
      myAppDirs(std::move(bundle.myAppDirs)),
      store_(services.settingsFile.isEmpty() ? SettingsStore::defaultFilePath(osHome)
                                             : services.settingsFile) {}

DesktidyController::~DesktidyController() = default;

QStringList resolveAppDirs(const QVariantList& patterns, const QString& user, const QString& home) {
    QStringList dirs;
    for (const QVariant& pattern : patterns) {
        QString dir = pattern.toString();
        dir.replace(QStringLiteral("[home]"), user);
        if (dir == u"~")
            dir = home;
        else if (dir.startsWith(QStringLiteral("~/")))
            dir = home + dir.mid(1);
        dirs.append(dir);
    }
    return dirs;
}

void DesktidyController::awakeFromNib(const QStringList& arguments) {
    getSettings();
    saveSetup();

    if (form.myPathControl.isEmpty() || form.myPathControl == u"/none") {
        form.myPathControl = osHome + QStringLiteral("/Desktop");
    }
    settings.pathString = form.myPathControl;

    appDirArray = resolveAppDirs(myAppDirs.value(QStringLiteral("appDirs")).toList(), osUser, osHome);

    argumentsArray = arguments;
    if (argumentsArray.size() > 1) scheduled = leadingInteger(argumentsArray.at(1));
}

bool DesktidyController::applicationDidFinishLaunching() {
    if (scheduled == 0) return false;
    // The scheduled run files every listed folder and ends the process.
    return true;
}

bool DesktidyController::openFile(const QString& path) {
    form.myPathControl = path;
    return true;
}

void DesktidyController::getSettings() {
    store_.load(settings, form, myDefaults, osHome);
}

void DesktidyController::saveSetup() { store_.save(settings, form); }

void DesktidyController::saveSetupButton() {
    saveSetup();
    services.prompter.notice(QStringLiteral("The Setup has been saved."));
}

void DesktidyController::cancelSetup() { getSettings(); }

void DesktidyController::resetSetup() {
    settings.reset = 1;
    getSettings();
    saveSetup();
}
