#pragma once

#include <QString>
#include <functional>

// The four notification names the program posts.
namespace NotificationName {
inline const QString doneFiling = QStringLiteral("Done Filing");
inline const QString doneUnfiling = QStringLiteral("Done Unfiling");
inline const QString donePacking = QStringLiteral("Done Packing");
inline const QString doneUnpacking = QStringLiteral("Done Unpacking");
// Items the watch filed as they arrived.
inline const QString filedNewItems = QStringLiteral("Filed New Items");
}  // namespace NotificationName

// A desktop notification at the end of a run over a whole list.
class Notifier {
  public:
    virtual ~Notifier() = default;
    virtual void notify(const QString& title, const QString& description,
                        const QString& notificationName) = 0;
    // The same with one button (such as "Undo") where the desktop offers buttons;
    // onAction runs, from the event loop, when it is chosen. Elsewhere a plain notification.
    virtual void notifyWithAction(const QString& title, const QString& description,
                                  const QString& notificationName, const QString& actionLabel,
                                  std::function<void()> onAction) {
        (void)actionLabel;
        (void)onAction;
        notify(title, description, notificationName);
    }
};
