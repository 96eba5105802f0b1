#include "platform/trash_location.h"

#include <QDir>

TrashLocation TrashLocation::forHome(const QString& home) {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = home + QStringLiteral("/.local/share");
    while (data.size() > 1 && data.endsWith(u'/')) data.chop(1);
    return TrashLocation{data + QStringLiteral("/Trash")};
}
