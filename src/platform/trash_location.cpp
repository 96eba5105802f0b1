#include "platform/trash_location.h"

#include <QtGlobal>

TrashLocation TrashLocation::forHome(const Path& home) {
    QByteArray data = qgetenv("XDG_DATA_HOME");
    if (!data.startsWith('/')) data = (home / ".local/share").bytes();
    while (data.size() > 1 && data.endsWith('/')) data.chop(1);
    return TrashLocation{Path(data) / "Trash"};
}
