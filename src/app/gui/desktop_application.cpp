#include "app/gui/desktop_application.h"

#include <QApplication>

#include "app/cli/command_line.h"
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

    // A launcher passes the folders to open as absolute paths after the program's own. The
    // working folder is kept as text, which a path that is not UTF-8 has none of.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const Path path(argumentBytes(arguments.at(i)));
        const std::optional<QString> folder = path.toText();
        if (path.isAbsolute() && folder)
            window.openFile(*folder);
        else if (path.isAbsolute())
            qWarning("%s", qUtf8Printable(QStringLiteral("Cannot open %1: its name is not UTF-8 "
                                                         "text.")
                                              .arg(path.display())));
    }
    window.show();

    if (const std::optional<RunResult> scheduled = controller.applicationDidFinishLaunching())
        return *scheduled == RunResult::Done ? 0 : 1;
    if (controller.settings.updatesState != 0) updates.checkForUpdatesInBackground();
    return app.exec();
}
