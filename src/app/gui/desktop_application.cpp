#include "app/gui/desktop_application.h"

#include <QApplication>
#include <QDir>

#include "app/desktidy_controller.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_path_chooser.h"
#include "app/gui/qt_prompter.h"
#include "app/gui/update_checker.h"
#include "app/gui/window_state_store.h"
#include "platform/dbus_notifier.h"

int runDesktopApplication(int& argc, char** argv, const QStringList& arguments) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Desktidy"));
    QApplication::setApplicationName(QStringLiteral("Desktidy"));
    QApplication::setApplicationVersion(QStringLiteral(DESKTIDY_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.desktidy.Desktidy"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.desktidy.Desktidy")));

    DBusNotifier notifier;
    LocalFileSystem files;
    ProcessToolRunner tools;
    QtPathChooser chooser;
    const UserEnvironment user = UserEnvironment::fromProcess();
    const QString settingsFile = SettingsStore::defaultFilePath(user.home);
    WindowStateStore state(WindowStateStore::besideSettings(settingsFile));
    QtPrompter prompter(&state);
    Services services{prompter, notifier, chooser, files, tools,
                      ToolPaths::fromEnvironment(), user, settingsFile};
    DesktidyController controller(services, BundleDefaults::fromResources());
    UpdateChecker updates(UpdateChecker::builtInFeed(), QStringLiteral(DESKTIDY_VERSION));

    controller.awakeFromNib(arguments);
    MainWindow window(controller, state, &updates);
    window.setPrompter(&prompter);
    prompter.setParentWidget(&window);
    chooser.setParentWidget(&window);

    // A launcher passes the folders to open as absolute paths after the program's own.
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (QDir::isAbsolutePath(arguments.at(i))) window.openFile(arguments.at(i));
    window.show();

    if (controller.applicationDidFinishLaunching()) return 0;
    if (controller.settings.updatesState != 0) updates.checkForUpdatesInBackground();
    return app.exec();
}
