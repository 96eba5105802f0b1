#include "schedule/watch_service.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// The first line of a unit this program wrote, so that only such a unit is removed.
const QByteArray writtenMark = "# Written by `desktidy watch --install`";

// A path as one word of a unit's command line: quoted, with systemd's specifiers and
// variables kept literal.
QByteArray unitWord(const QString& text) {
    QByteArray word = text.toUtf8();
    word.replace('\\', "\\\\").replace('"', "\\\"").replace('%', "%%").replace('$', "$$");
    return '"' + word + '"';
}

}  // namespace

const QString WatchService::unitName = QStringLiteral("desktidy-watch.service");

const QString WatchService::installedMessage = QStringLiteral(
    "Desktidy now files new items as they arrive in the listed folders, from every login on "
    "(the desktidy-watch service of your user).");
const QString WatchService::uninstalledMessage =
    QStringLiteral("Desktidy no longer files new items as they arrive.");
const QString WatchService::noManagerMessage = QStringLiteral(
    "No user service manager (systemd --user) is running, so the watch cannot be started "
    "as a service. Start `desktidy watch` with your session instead, for example from its "
    "autostart.");

QByteArray watchUnitText(const QString& executable) {
    return writtenMark +
           "; `desktidy watch --uninstall` removes it.\n"
           "[Unit]\n"
           "Description=Desktidy: file new items as they arrive\n"
           "Documentation=man:desktidy(1)\n"
           "\n"
           "[Service]\n"
           "ExecStart=" +
           unitWord(executable) +
           " watch\n"
           "Restart=on-failure\n"
           "RestartSec=5\n"
           "\n"
           "[Install]\n"
           "WantedBy=default.target\n";
}

WatchService::Places WatchService::placesFor(const QString& configHome, const QString& systemctl,
                                             const QString& executable) {
    return {systemctl,
            executable,
            configHome + QStringLiteral("/systemd/user"),
            {QStringLiteral("/etc/systemd/user"), QStringLiteral("/usr/local/lib/systemd/user"),
             QStringLiteral("/usr/lib/systemd/user"), QStringLiteral("/lib/systemd/user")}};
}

ToolResult WatchService::systemctl(const QStringList& arguments) {
    QStringList all{QStringLiteral("--user")};
    all << arguments;
    return tools_.run({places_.systemctl, all, QString(), std::nullopt});
}

bool WatchService::managerRunning() {
    const ToolResult probe = systemctl({QStringLiteral("show-environment")});
    if (!probe.started) {
        prompter_.criticalNotice(
            QStringLiteral("Watching as a service needs systemctl, from the systemd package."));
        return false;
    }
    if (probe.succeeded()) return true;
    QString detail = QString::fromLocal8Bit(probe.error).trimmed();
    prompter_.criticalNotice(noManagerMessage +
                             (detail.isEmpty() ? QString() : QStringLiteral(" (") + detail + u')'));
    return false;
}

QString WatchService::userUnitPath() const { return places_.userUnitFolder + u'/' + unitName; }

bool WatchService::unitInstalled() const {
    if (QFileInfo::exists(userUnitPath())) return true;
    for (const QString& folder : places_.installedUnits)
        if (QFileInfo::exists(folder + u'/' + unitName)) return true;
    return false;
}

bool WatchService::writeUserUnit() {
    QDir().mkpath(places_.userUnitFolder);
    QSaveFile file(userUnitPath());
    if (file.open(QIODevice::WriteOnly) && file.write(watchUnitText(places_.executable)) >= 0 &&
        file.commit())
        return true;
    prompter_.criticalNotice(
        QStringLiteral("Desktidy could not write %1: %2").arg(userUnitPath(), file.errorString()));
    return false;
}

bool WatchService::succeeded(const ToolResult& result, const QString& what) {
    if (result.succeeded()) return true;
    QString reason = QString::fromLocal8Bit(result.error).trimmed();
    if (reason.isEmpty())
        reason = result.started
                     ? QStringLiteral("systemctl exited with status %1").arg(result.exitCode)
                     : result.startError;
    prompter_.criticalNotice(
        QStringLiteral("Desktidy could not %1 the watch: %2").arg(what, reason));
    return false;
}

RunResult WatchService::install() {
    if (!managerRunning()) return RunResult::Failed;
    if (!unitInstalled()) {
        if (!writeUserUnit()) return RunResult::Failed;
        if (!succeeded(systemctl({QStringLiteral("daemon-reload")}), QStringLiteral("install")))
            return RunResult::Failed;
    }
    if (!succeeded(systemctl({QStringLiteral("enable"), QStringLiteral("--now"), unitName}),
                   QStringLiteral("start")))
        return RunResult::Failed;
    prompter_.notice(installedMessage);
    return RunResult::Done;
}

RunResult WatchService::uninstall() {
    if (!managerRunning()) return RunResult::Failed;
    if (!succeeded(systemctl({QStringLiteral("disable"), QStringLiteral("--now"), unitName}),
                   QStringLiteral("stop")))
        return RunResult::Failed;
    QFile written(userUnitPath());
    if (written.open(QIODevice::ReadOnly) && written.readLine().startsWith(writtenMark)) {
        written.close();
        written.remove();
        (void)systemctl({QStringLiteral("daemon-reload")});
    }
    prompter_.notice(uninstalledMessage);
    return RunResult::Done;
}

WatchService::State WatchService::state() {
    if (!systemctl({QStringLiteral("show-environment")}).succeeded())
        return State::NoServiceManager;
    const ToolResult active = systemctl({QStringLiteral("is-active"), unitName});
    return active.succeeded() && active.output.trimmed() == "active" ? State::Running
                                                                     : State::NotRunning;
}
