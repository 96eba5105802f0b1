#include "tree_helpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "support/temp_home.h"

namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

QByteArray linkTarget(const Path& path) {
    char target[4096];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    return QByteArray(target, n < 0 ? 0 : int(n));
}

QByteArray contents(const Path& path) {
    QByteArray bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    char buffer[65536];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    if (fd >= 0) ::close(fd);
    return bytes;
}

void describe(const Path& path, const QString& relative, QStringList& lines) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return;
    QString detail = S_ISREG(st.st_mode) ? QString::fromLatin1(contents(path).toHex()) : "";
    if (S_ISLNK(st.st_mode)) detail = "-> " + displayName(linkTarget(path));
    lines << QStringLiteral("%1 %2 %3 %4.%5 %6")
                 .arg(relative)
                 .arg(st.st_mode & S_IFMT, 0, 8)
                 .arg(S_ISLNK(st.st_mode) ? 0 : st.st_mode & 07777, 0, 8)  // a link has none
                 .arg(st.st_mtim.tv_sec)
                 .arg(st.st_mtim.tv_nsec)
                 .arg(detail);
    if (S_ISDIR(st.st_mode)) {
        const NameList names = LocalFileSystem().listNames(path, true);
        for (std::size_t i = 0; i < names.size(); ++i)
            describe(path / names.name(i), relative + u'/' + displayName(names.at(i)), lines);
    }
}

}  // namespace

void buildSampleTree(const QString& root, const QString& outsideFolder) {
    writeFile(outsideFolder + "/not-to-copy.txt", "outside");
    writeFile(root + "/a.txt", "alpha");
    writeFile(root + "/.hidden", "hidden");
    writeFile(root + "/docs/2019/receipt.pdf", QByteArray(300000, 'r'));
    writeFile(root + "/locked/note.txt", "note");
    makeFolder(root + "/docs/empty");
    ::chmod(native(root + "/a.txt").constData(), 0750);
    ::chmod(native(root + "/locked/note.txt").constData(), 0400);
    ::mkfifo(native(root + "/pipe").constData(), 0640);
    ::symlink("../a.txt", native(root + "/docs/link-to-a").constData());
    ::symlink(native(outsideFolder).constData(), native(root + "/outside").constData());
    ::symlink("nowhere", native(root + "/dangling").constData());
    // Items first, folders last (adding items changes a folder's time), with nanoseconds.
    struct timespec t[2] = {{1000000000, 123456789}, {1000000000, 123456789}};
    for (const char* item :
         {"a.txt", ".hidden", "docs/2019/receipt.pdf", "pipe", "docs/link-to-a", "outside",
          "dangling", "locked/note.txt", "docs/2019", "docs/empty", "docs", "locked", ""}) {
        t[0].tv_sec = t[1].tv_sec += 1000;
        ::utimensat(AT_FDCWD, native(root + "/" + item).constData(), t, AT_SYMLINK_NOFOLLOW);
    }
    ::chmod(native(root + "/locked").constData(), 0555);
}

QStringList describeTree(const QString& root) { return describeTree(Path::fromText(root)); }

QStringList describeTree(const Path& root) {
    QStringList lines;
    describe(root, ".", lines);
    return lines;
}
