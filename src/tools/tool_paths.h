#pragma once

#include <QString>

// Where the system tools live. Each can be pointed elsewhere through the environment
// (DESKTIDY_CRONTAB, DESKTIDY_MV, DESKTIDY_PKEXEC, DESKTIDY_SYSTEMCTL), which is how tests
// put fakes in place of the real crontab, pkexec and systemctl.
struct ToolPaths {
    QString crontab = QStringLiteral("/usr/bin/crontab");
    QString mv = QStringLiteral("/bin/mv");
    QString pkexec = QStringLiteral("/usr/bin/pkexec");
    QString systemctl = QStringLiteral("/usr/bin/systemctl");

    static ToolPaths fromEnvironment();
};
