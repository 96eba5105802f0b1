#include "support/temp_home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

#include "platform/file_system.h"

namespace {

const char* const isolatedVariables[] = {
    "HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",           "XDG_CACHE_HOME",
    "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS"};

void pointAt(const QString& home) {
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + "/.config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + "/.local/share"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home + "/.cache"));
    qputenv("XDG_STATE_HOME", QFile::encodeName(home + "/.local/state"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home + "/.runtime"));
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QDir().mkpath(home + "/.runtime");
}

}  // namespace

TempHome::TempHome() {
    for (const char* name : isolatedVariables) saved_.append({name, qgetenv(name)});
    pointAt(dir_.path());
}

TempHome::~TempHome() {
    // By the bytes of every name: QTemporaryDir cannot remove a name that is not UTF-8.
    (void)LocalFileSystem().removeAll(Path::fromText(dir_.path()));
    for (const auto& [name, value] : saved_) {
        if (value.isNull())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
}

void TempHome::isolateProcess() {
    static QTemporaryDir processHome;
    pointAt(processHome.path());
    qputenv("USER", "tester");
    // Tools that a test forgot to fake fail loudly instead of reaching the real ones.
    qputenv("DESKTIDY_CRONTAB", "/nonexistent/crontab");
    qputenv("DESKTIDY_PKEXEC", "/nonexistent/pkexec");
    qputenv("DESKTIDY_SYSTEMCTL", "/nonexistent/systemctl");
}

QString writeFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(contents);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void makeFolder(const QString& path) { QDir().mkpath(path); }

QString writeAppBundle(const QString& path, const QByteArray& identifier, const QString& listName) {
    writeFile(path + "/Contents/" + listName,
              "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier</key>"
              "<string>" +
                  identifier + "</string></dict></plist>");
    return path;
}
