#include "platform/recent_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString RecentFolders::defaultFilePath(const QString& home) {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = home + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Desktidy/recent-folders");
}

QList<Path> RecentFolders::folders() const {
    // Opened without waiting and read only when it is a regular file: a FIFO in its place
    // would stall the program for ever, a device would never end.
    const int fd = ::open(Path::fromText(filePath_).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat status;
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    QList<Path> list;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty() && list.size() < maximumCount) list.append(Path(line));
    }
    return list;
}

bool RecentFolders::note(const Path& folder) {
    if (folder.isEmpty() || folder.bytes().contains('\n') || folder.bytes().contains('\r'))
        return false;
    QList<Path> list = folders();
    list.removeAll(folder);
    list.prepend(folder);
    while (list.size() > maximumCount) list.removeLast();

    // Written whole and renamed into place, so a reader never sees half a list.
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly)) return false;
    for (const Path& path : list) file.write(path.bytes() + '\n');
    return file.commit();
}
