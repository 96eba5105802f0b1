#include "platform/item_type.h"

#include "platform/file_system.h"

QString itemTypeOf(const QString& name) {
    const QString last = lastPathComponent(name);
    const qsizetype dot = last.lastIndexOf(u'.');
    if (dot <= 0) return QString();
    return last.mid(dot + 1);
}
