#pragma once

#include "platform/notifier.h"

// Posts through org.freedesktop.Notifications on the session bus: app name "Desktidy",
// the title as summary, the description as body and the notification name as the
// "category" hint. With no session bus (cron, CI) it returns at once and shows nothing.
class DBusNotifier : public Notifier {
  public:
    void notify(const QString& title, const QString& description,
                const QString& notificationName) override;

    // The address of the user's session bus, or empty when there is none to reach.
    static QString sessionBusAddress();
};
