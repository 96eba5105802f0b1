#include "platform/dbus_notifier.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFile>
#include <QVariantMap>
#include <algorithm>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
const QString actionKey = QStringLiteral("desktidy-action");
// Wait briefly for the server: the scheduled run quits right after posting.
constexpr int replyTimeout = 2000;
constexpr qsizetype keptActions = 100;

bool isSocket(const QString& path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISSOCK(st.st_mode);
}

// The session bus, or a connection that is not connected when there is none.
QDBusConnection sessionBus() {
    const QString address = DBusNotifier::sessionBusAddress();
    if (address.isEmpty()) return QDBusConnection(QStringLiteral("desktidy-no-bus"));
    return QDBusConnection::connectToBus(address, QStringLiteral("desktidy-notify"));
}

}  // namespace

QString DBusNotifier::sessionBusAddress() {
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty()) return address;
    // Cron gives no bus address; the user's bus, when the user is logged in, sits in the
    // runtime folder.
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty()) runtime = QStringLiteral("/run/user/%1").arg(::getuid());
    const QString socket = runtime + QStringLiteral("/bus");
    if (isSocket(socket)) return QStringLiteral("unix:path=") + socket;
    return QString();
}

uint DBusNotifier::post(QDBusConnection& bus, const QString& title, const QString& description,
                        const QString& notificationName, const QStringList& actions) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("category"), notificationName);
    call << QStringLiteral("Desktidy") << 0u << QString() << title << description << actions
         << hints << -1;
    const QDBusReply<uint> reply = bus.call(call, QDBus::Block, replyTimeout);
    return reply.isValid() ? reply.value() : 0;
}

void DBusNotifier::notify(const QString& title, const QString& description,
                          const QString& notificationName) {
    QDBusConnection bus = sessionBus();
    if (bus.isConnected()) (void)post(bus, title, description, notificationName, {});
}

void DBusNotifier::notifyWithAction(const QString& title, const QString& description,
                                    const QString& notificationName, const QString& actionLabel,
                                    std::function<void()> onAction) {
    QDBusConnection bus = sessionBus();
    if (!bus.isConnected()) return;
    const QDBusReply<QStringList> capabilities = bus.call(
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("GetCapabilities")),
        QDBus::Block, replyTimeout);
    if (!capabilities.isValid() || !capabilities.value().contains(QStringLiteral("actions"))) {
        (void)post(bus, title, description, notificationName, {});
        return;
    }
    // From whichever process serves the notifications now. A notification that is
    // closed may still have its action invoked first, so actions are kept until invoked:
    // as many as the history keeps runs.
    if (!listening_)
        listening_ = bus.connect(QString(), path, interface, QStringLiteral("ActionInvoked"), this,
                                 SLOT(actionInvoked(uint, QString)));
    const uint id = post(bus, title, description, notificationName, {actionKey, actionLabel});
    if (id == 0) return;
    actions_.insert(id, std::move(onAction));
    if (actions_.size() > keptActions) {
        const QList<uint> ids = actions_.keys();
        actions_.remove(*std::min_element(ids.begin(), ids.end()));
    }
}

void DBusNotifier::actionInvoked(uint id, const QString& key) {
    if (key != actionKey) return;
    const std::function<void()> action = actions_.take(id);
    if (action) action();
}
