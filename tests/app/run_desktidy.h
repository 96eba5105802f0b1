#pragma once

#include <QDir>
#include <QProcess>

#include "support/temp_home.h"

struct Outcome {
    int status = -1;
    QString out, err;
};

// Runs the built program as a script would: no terminal, the test's home (the process
// environment TempHome set up), optionally from a given folder.
inline Outcome desktidy(const QStringList& arguments, const QString& workingFolder = {}) {
    QProcess process;
    process.setWorkingDirectory(workingFolder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(DESKTIDY_BINARY, arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The same with the arguments given to the shell, so that they can hold any bytes
// ("$(printf '\\377')"), from folder.
inline Outcome desktidyRaw(const QString& arguments, const QString& workingFolder) {
    QProcess process;
    process.setWorkingDirectory(workingFolder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start("/bin/sh", {"-c", "exec \"$0\" " + arguments, DESKTIDY_BINARY});
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

inline QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}
