#pragma once

#include <QString>

// The integer value of a text's leading digits, as a number field reads it: leading
// white space is skipped, a sign is allowed, anything else ends the number; a text
// that does not begin with a number gives 0. Values beyond 32 bits saturate.
int leadingInteger(const QString& text);
