#include "platform/user_environment.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

UserEnvironment UserEnvironment::fromProcess() {
    UserEnvironment env;
    env.user = qEnvironmentVariable("USER");
    env.home = qEnvironmentVariable("HOME");
    if (env.user.isEmpty() || env.home.isEmpty()) {
        if (const passwd* pw = ::getpwuid(::getuid())) {
            if (env.user.isEmpty()) env.user = QFile::decodeName(pw->pw_name);
            if (env.home.isEmpty()) env.home = QFile::decodeName(pw->pw_dir);
        }
    }
    return env;
}

QString desktopFolderOf(const QString& home) {
    // QStandardPaths reads the names relative to HOME; for a home taken from the login
    // record because HOME was missing, only the usual name is known.
    if (QDir::cleanPath(QDir::homePath()) != QDir::cleanPath(home))
        return home + QStringLiteral("/Desktop");
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}
