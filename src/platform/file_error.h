#pragma once

#include <QString>

#include "platform/path.h"

// The outcome of one file operation: ok, or the errno-style code, the path that failed and
// a sentence the user can read. Operations return it instead of throwing, and callers
// decide whether to tell the user; a result left unread is a compile error, and a failure
// that is meant to be ignored says so with (void).
struct [[nodiscard]] FileError {
    int code = 0;
    Path path;
    QString message;

    bool ok() const { return code == 0; }

    // "Could not <what> “<name>”: <reason>." with the last name of path.
    static FileError fromErrno(int errnoValue, const Path& path, const QString& what);
};
