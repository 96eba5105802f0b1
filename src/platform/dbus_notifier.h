#pragma once

#include <QHash>
#include <QObject>

#include "platform/notifier.h"

class QDBusConnection;

// Posts through org.freedesktop.Notifications on the session bus: app name "Desktidy",
// the title as summary, the description as body and the notification name as the
// "category" hint. With no session bus (cron, CI) it returns at once and shows nothing.
class DBusNotifier : public QObject, public Notifier {
    Q_OBJECT
  public:
    void notify(const QString& title, const QString& description,
                const QString& notificationName) override;
    // Offers the button where the server lists the capability "actions"; its
    // ActionInvoked signal then runs onAction, once, from the event loop.
    void notifyWithAction(const QString& title, const QString& description,
                          const QString& notificationName, const QString& actionLabel,
                          std::function<void()> onAction) override;

    // The address of the user's session bus, or empty when there is none to reach.
    static QString sessionBusAddress();

  private Q_SLOTS:
    void actionInvoked(uint id, const QString& actionKey);

  private:
    // Posts the notification; its id, 0 when none was posted.
    uint post(QDBusConnection& bus, const QString& title, const QString& description,
              const QString& notificationName, const QStringList& actions);

    QHash<uint, std::function<void()>> actions_;  // by notification id
    bool listening_ = false;
};
