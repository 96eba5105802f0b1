#include "platform/item_type.h"

QByteArrayView itemTypeOf(QByteArrayView name) {
    const qsizetype dot = name.lastIndexOf('.');
    if (dot <= 0) return {};
    return name.sliced(dot + 1);
}
