#include "platform/user_environment.h"

#include <pwd.h>
#include <unistd.h>

#include <QFile>

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
