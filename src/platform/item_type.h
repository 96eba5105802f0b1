#pragma once

#include <QString>

// The type of an item as filing sees it: the extension as written in the name (the text
// after the last "." of the last component, when that "." is not its first character),
// for files and folders alike; otherwise empty.
QString itemTypeOf(const QString& name);
