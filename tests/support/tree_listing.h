#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QStringList>

#include "platform/file_system.h"

// Writes a file named by its bytes, replacing one that is there.
inline void writeItem(const Path& path, const QByteArray& contents = {}) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << path.display().toStdString();
    EXPECT_EQ(::write(fd, contents.constData(), size_t(contents.size())), contents.size());
    ::close(fd);
}

// A file's whole contents; empty when it cannot be read.
inline QByteArray contentsOf(const Path& path) {
    QByteArray all;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    char buffer[65536];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;) all.append(buffer, n);
    if (fd >= 0) ::close(fd);
    return all;
}

// How much of each item a tree description holds.
enum class TreeDetail {
    Contents,   // each item below the root: its kind, a file's contents, a link's target
    ItemTimes,  // and the permissions and modification time of each item that is no folder
    Everything  // the root too, and every item's permissions and modification time
};

// One line per item, depth first in byte order of names: the path relative to the root (as
// Path::display() shows it), kind, the details asked for, and a file's contents (a checksum
// of long ones) or a link's target. Links are described, never followed. Two trees with
// the same description hold the same items.
inline void describeTree(const Path& root, const QByteArray& relative, TreeDetail detail,
                         QStringList& lines) {
    const Path path = relative.isEmpty() ? root : root / relative;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return;
    const bool folder = S_ISDIR(st.st_mode);
    if (!relative.isEmpty() || detail == TreeDetail::Everything) {
        QString line = relative.isEmpty() ? QStringLiteral(".") : displayName(relative);
        line += folder                 ? QStringLiteral(" d")
                : S_ISREG(st.st_mode)  ? QStringLiteral(" f")
                : S_ISLNK(st.st_mode)  ? QStringLiteral(" l")
                : S_ISFIFO(st.st_mode) ? QStringLiteral(" p")
                                       : QStringLiteral(" o");
        if (detail == TreeDetail::Everything || (detail == TreeDetail::ItemTimes && !folder))
            line += QStringLiteral(" %1 @%2.%3")
                        .arg(S_ISLNK(st.st_mode) ? 0 : st.st_mode & 07777, 0, 8)  // a link has none
                        .arg(st.st_mtim.tv_sec)
                        .arg(st.st_mtim.tv_nsec);
        if (S_ISREG(st.st_mode)) {
            const QByteArray contents = contentsOf(path);
            line +=
                u' ' +
                (contents.size() <= 64
                     ? displayName(contents)
                     : QString::fromLatin1(
                           QCryptographicHash::hash(contents, QCryptographicHash::Sha256).toHex()));
        } else if (S_ISLNK(st.st_mode)) {
            QByteArray target(4096, 0);
            const ssize_t n = ::readlink(path.c_str(), target.data(), size_t(target.size()));
            target.truncate(n < 0 ? 0 : int(n));
            line += " -> " + displayName(target);
        }
        lines << line;
    }
    if (!folder) return;
    const NameList names = LocalFileSystem().listNames(path, true);
    for (std::size_t i = 0; i < names.size(); ++i)
        describeTree(root, relative.isEmpty() ? names.name(i) : relative + '/' + names.name(i),
                     detail, lines);
}

inline QStringList describeTree(const Path& root, TreeDetail detail = TreeDetail::Contents) {
    QStringList lines;
    describeTree(root, {}, detail, lines);
    return lines;
}
