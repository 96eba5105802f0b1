#pragma once

#include <QString>

// The login name and home folder. Taken from USER and HOME; when either is missing
// (as under some cron daemons) the login record of the real user fills it in.
struct UserEnvironment {
    QString user;
    QString home;

    static UserEnvironment fromProcess();
};

// The desktop's folder in home: the one the desktop names (xdg-user-dirs, which may give
// a translated name such as "Schreibtisch"), else home/Desktop.
QString desktopFolderOf(const QString& home);
