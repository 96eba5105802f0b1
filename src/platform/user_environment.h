#pragma once

#include <QString>

// The login name and home folder. Taken from USER and HOME; when either is missing
// (as under some cron daemons) the login record of the real user fills it in.
struct UserEnvironment {
    QString user;
    QString home;

    static UserEnvironment fromProcess();
};
