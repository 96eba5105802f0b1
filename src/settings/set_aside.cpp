#include "settings/set_aside.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <optional>

#include "platform/descriptor_io.h"

namespace {

// Whether line ends in an odd number of backslashes, which QSettings reads as "the value
// goes on in the next line".
bool continues(const QByteArray& line) {
    qsizetype backslashes = 0;
    for (qsizetype i = line.size() - 1; i >= 0 && line.at(i) == '\\'; --i) ++backslashes;
    return backslashes % 2 == 1;
}

// The side file's contents so far; empty when there is none yet.
std::optional<QByteArray> readSideFile(int fd) {
    QByteArray contents;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) return contents;
        contents.append(buffer, n);
    }
}

bool writeAllAndSync(int fd, const QByteArray& bytes) {
    return writeAll(fd, bytes) == 0 && ::fsync(fd) == 0;
}

}  // namespace

QByteArray settingLines(const QByteArray& fileContents, const QString& key) {
    const QByteArray name = key.toLatin1();
    QByteArray found;
    bool inGeneral = true;  // keys before any section header belong to no group too
    bool taking = false;
    for (const QByteArray& line : fileContents.split('\n')) {
        if (taking) {
            found += line + '\n';
            taking = continues(line);
            continue;
        }
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[')) {
            inGeneral = trimmed == "[General]";
            continue;
        }
        const qsizetype equals = trimmed.indexOf('=');
        if (!inGeneral || equals < 0 || trimmed.left(equals).trimmed() != name) continue;
        found += line + '\n';
        taking = continues(line);
    }
    return found;
}

bool setAsideLines(const QString& sideFile, const QString& settingsFile,
                   const QList<DamagedSetting>& damaged, const QDateTime& time) {
    QDir().mkpath(QFileInfo(sideFile).absolutePath());
    const int fd = ::open(QFile::encodeName(sideFile).constData(),
                          O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    struct stat st;
    std::optional<QByteArray> kept;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) kept = readSideFile(fd);
    bool ok = kept.has_value();
    if (ok) {
        QByteArray added;
        for (const DamagedSetting& setting : damaged)
            if (!setting.line.isEmpty() && !kept->startsWith(setting.line) &&
                !kept->contains('\n' + setting.line))
                added += setting.line;
        if (!added.isEmpty()) {
            const QByteArray heading = "# " + time.toString(Qt::ISODate).toUtf8() +
                                       ": not readable in " + QFile::encodeName(settingsFile) +
                                       ", kept here before the file was written\n";
            ok = writeAllAndSync(fd, heading + added);
        }
    }
    ::close(fd);
    return ok;
}
