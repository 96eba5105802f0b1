#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The type of an item as filing sees it: the extension as written in its name (the bytes
// after the last "." of the name, when that "." is not its first byte), for files and
// folders alike; otherwise empty.
QByteArrayView itemTypeOf(QByteArrayView name);
