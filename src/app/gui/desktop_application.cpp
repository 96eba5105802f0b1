#include "app/gui/desktop_application.h"

#include <QApplication>
#include <QDir>

#include "app/desktidy_controller.h"
#include "app/gui/desktop_services.h"
#include "app/gui/main_window.h"
#include "app/gui/update_checker.h"

int runDesktopApplication(int& argc, char** argv, const QStringList& arguments) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Desktidy"));
    QApplication::setApplicationName(QStringLiteral("Desktidy"));
    QApplication::setApplicationVersion(QStringLiteral(DESKTIDY_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.desktidy.Desktidy"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.desktidy.Desktidy")));

    DesktopServices desktop;
    DesktidyController controller(desktop.services(), BundleDefaults::fromResources());
    UpdateChecker updates(UpdateChecker::builtInFeed(), QStringLiteral(DESKTIDY_VERSION));

    controller.awakeFromNib(arguments);
    MainWindow window(controller, desktop.state, &updates);
    window.setPrompter(&desktop.prompter);
    desktop.attachTo(&window);

    // A launcher passes the folders to open as absolute paths after the program's own.
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (QDir::isAbsolutePath(arguments.at(i))) window.openFile(arguments.at(i));
    window.show();

    if (controller.applicationDidFinishLaunching()) return 0;
    if (controller.saved().checkForUpdates) updates.checkForUpdatesInBackground();
    return app.exec();
}
