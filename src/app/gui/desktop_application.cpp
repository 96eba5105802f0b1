#include "app/gui/desktop_application.h"

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <mutex>
#include <vector>

#include "app/desktidy_controller.h"
#include "app/gui/desktop_services.h"
#include "app/gui/main_window.h"
#include "app/gui/program_icon.h"
#include "app/gui/update_checker.h"

namespace {

// What to say when Qt finds no display to open the window on.
QByteArray noWindowLine() {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("WAYLAND_DISPLAY");
    QString what;
    if (!platform.isEmpty())
        what = QStringLiteral("the window cannot be opened with the Qt platform \u201c%1\u201d.")
                   .arg(platform);
    else if (!display.isEmpty())
        what =
            QStringLiteral("the window cannot be opened on display \u201c%1\u201d.").arg(display);
    else
        what = QStringLiteral("there is no display to open the window on.");
    return (QStringLiteral("desktidy: ") + what +
            QStringLiteral(
                " Run \u201cdesktidy --help\u201d for the commands that need no display.\n"))
        .toLocal8Bit();
}

// While the application object connects to the display, Qt's messages are held back:
// when no platform can be started Qt ends the program with a fatal message and an abort,
// which becomes one line and exit status 2 instead. Once connected, the held messages
// are passed on.
struct HeldMessage {
    QtMsgType type;
    const char* file;  // the context's texts are static
    int line;
    const char* function;
    const char* category;
    QString text;
};
std::vector<HeldMessage> heldMessages;
std::mutex heldMessagesLock;  // the display connection may report from its own thread

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        const QByteArray line = noWindowLine();
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        std::fflush(stderr);
        ::_exit(2);  // the half-made application object must not be torn down
    }
    const std::lock_guard<std::mutex> lock(heldMessagesLock);
    heldMessages.push_back(
        {type, context.file, context.line, context.function, context.category, text});
}

void passOnHeldMessages() {
    const std::lock_guard<std::mutex> lock(heldMessagesLock);
    for (const HeldMessage& held : heldMessages)
        qt_message_output(held.type,
                          QMessageLogContext(held.file, held.line, held.function, held.category),
                          held.text);
    heldMessages.clear();
}

}  // namespace

int runDesktopApplication(int& argc, char** argv, const QStringList& arguments,
                          const QList<Path>& folders) {
    const QtMessageHandler previousHandler = qInstallMessageHandler(holdMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(previousHandler);
    passOnHeldMessages();

    QApplication::setOrganizationName(QStringLiteral("Desktidy"));
    QApplication::setApplicationName(QStringLiteral("Desktidy"));
    QApplication::setApplicationVersion(QStringLiteral(DESKTIDY_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.desktidy.Desktidy"));
    QApplication::setWindowIcon(programIcon());

    DesktopServices desktop;
    DesktidyController controller(desktop.services(), BundleDefaults::fromResources());
    UpdateChecker updates(UpdateChecker::builtInFeed(), QStringLiteral(DESKTIDY_VERSION));

    controller.start(arguments);
    controller.saveSetup();
    MainWindow window(controller, desktop.state, &updates);
    desktop.attachTo(&window);

    // A launcher passes the folders to open as absolute paths after the program's own; a
    // relative one is taken from the current folder. The working folder is kept as text,
    // which a path that is not UTF-8 has none of.
    for (const Path& path : folders) {
        const std::optional<QString> folder = path.toText();
        if (!isFolderOrLinkToOne(path))
            qWarning(
                "%s",
                qUtf8Printable(
                    QStringLiteral("Cannot open %1: it is not a folder.").arg(path.display())));
        else if (folder)
            window.showFolder(*folder);
        else
            qWarning("%s", qUtf8Printable(QStringLiteral("Cannot open %1: its name is not UTF-8 "
                                                         "text.")
                                              .arg(path.display())));
    }
    window.show();
    if (const QString notice = controller.takeSettingsNotice(); !notice.isEmpty())
        desktop.prompter.notice(notice);
    // A run that a crash or a kill stopped: put right, then undo or keep, as the user says.
    controller.reviewStoppedRuns();

    if (const std::optional<RunResult> scheduled = controller.runScheduledFiling())
        return *scheduled == RunResult::Done ? 0 : 1;
    if (controller.saved().checkForUpdates) updates.checkForUpdatesInBackground();
    return app.exec();
}
