#pragma once

#include <QString>

// The outcome of one file operation: empty on success, else the errno-style code, the
// path that failed and a sentence the user can read. Operations return it instead of
// throwing, and callers decide whether to tell the user.
struct FileError {
    int code = 0;
    QString path;
    QString message;

    bool failed() const { return code != 0; }
    explicit operator bool() const { return failed(); }

    static FileError fromErrno(int errnoValue, const QString& path, const QString& what);
};
