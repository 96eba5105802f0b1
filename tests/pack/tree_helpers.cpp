#include "tree_helpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "support/temp_home.h"

namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

void describe(const QString& root, const QString& relative, QStringList& lines) {
    const QString path = relative.isEmpty() ? root : root + u'/' + relative;
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0) {
        lines << relative + QStringLiteral(" missing");
        return;
    }
    QString detail;
    if (S_ISLNK(st.st_mode)) {
        char target[4096];
        const ssize_t n = ::readlink(native(path).constData(), target, sizeof target);
        detail = QStringLiteral("-> ") + QString::fromUtf8(target, n < 0 ? 0 : n);
    } else if (S_ISREG(st.st_mode)) {
        detail = QString::fromUtf8(readFile(path).toHex());
    }
    const QString kind = S_ISDIR(st.st_mode)   ? "dir"
                         : S_ISLNK(st.st_mode) ? "link"
                         : S_ISREG(st.st_mode) ? "file"
                                               : "other";
    // A link's own permissions mean nothing on Linux.
    const QString mode = S_ISLNK(st.st_mode) ? "-" : QString::number(st.st_mode & 07777, 8);
    lines << QStringLiteral("%1 %2 %3 %4.%5 %6")
                 .arg(relative.isEmpty() ? "." : relative, kind, mode)
                 .arg(st.st_mtim.tv_sec)
                 .arg(st.st_mtim.tv_nsec)
                 .arg(detail);
    if (!S_ISDIR(st.st_mode)) return;
    LocalFileSystem files;
    for (const QString& name : files.listNames(path, true))
        describe(root, relative.isEmpty() ? name : relative + u'/' + name, lines);
}

}  // namespace

void setModificationTime(const QString& path, qint64 seconds, long nanoseconds) {
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, native(path).constData(), times, AT_SYMLINK_NOFOLLOW);
}

void buildSampleTree(const QString& root, const QString& outsideFolder) {
    writeFile(outsideFolder + "/not-to-copy.txt", "outside");
    writeFile(root + "/a.txt", "alpha");
    writeFile(root + "/.hidden", "hidden");
    writeFile(root + "/script.sh", "#!/bin/sh\n");
    ::chmod(native(root + "/script.sh").constData(), 0750);
    writeFile(root + "/docs/2019/receipt.pdf", QByteArray(300000, 'r'));
    makeFolder(root + "/docs/empty");
    writeFile(root + "/locked/note.txt", "note");
    ::chmod(native(root + "/locked/note.txt").constData(), 0400);
    ::symlink("../a.txt", native(root + "/docs/link-to-a").constData());
    ::symlink(native(outsideFolder).constData(), native(root + "/outside").constData());
    ::symlink("nowhere", native(root + "/dangling").constData());
    ::mkfifo(native(root + "/pipe").constData(), 0640);

    qint64 t = 1000000000;
    for (const char* item : {"a.txt", ".hidden", "script.sh", "docs/2019/receipt.pdf", "pipe",
                             "docs/link-to-a", "outside", "dangling", "locked/note.txt"})
        setModificationTime(root + "/" + item, t += 1000, 123456789);
    // Folders last: adding items changes their times.
    for (const char* folder : {"docs/2019", "docs/empty", "docs", "locked", ""})
        setModificationTime(root + "/" + folder, t += 1000, 5);
    ::chmod(native(root + "/locked").constData(), 0555);
}

QStringList describeTree(const QString& root) {
    QStringList lines;
    describe(root, QString(), lines);
    return lines;
}
