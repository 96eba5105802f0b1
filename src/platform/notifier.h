#pragma once

#include <QString>

// The four notification names the program posts.
namespace NotificationName {
inline const QString doneFiling = QStringLiteral("Done Filing");
inline const QString doneUnfiling = QStringLiteral("Done Unfiling");
inline const QString donePacking = QStringLiteral("Done Packing");
inline const QString doneUnpacking = QStringLiteral("Done Unpacking");
}  // namespace NotificationName

// A desktop notification at the end of a run over a whole list.
class Notifier {
  public:
    virtual ~Notifier() = default;
    virtual void notify(const QString& title, const QString& description,
                        const QString& notificationName) = 0;
};
