#include "platform/dbus_notifier.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QVariantMap>

namespace {

bool isSocket(const QString& path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISSOCK(st.st_mode);
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

void DBusNotifier::notify(const QString& title, const QString& description,
                          const QString& notificationName) {
    const QString address = sessionBusAddress();
    if (address.isEmpty()) return;
    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("desktidy-notify"));
    if (!bus.isConnected()) return;

    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("category"), notificationName);
    call << QStringLiteral("Desktidy") << 0u << QString() << title << description << QStringList()
         << hints << -1;
    // Wait briefly: the scheduled run quits right after posting.
    bus.call(call, QDBus::Block, 2000);
}
