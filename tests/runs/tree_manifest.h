#pragma once

#include <fcntl.h>

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>

#include "platform/file_system.h"

// One line per item below root: its path (bytes escaped), kind, size and the checksum of
// a file's contents, sorted; two trees with the same manifest hold the same items.
inline void addManifest(LocalFileSystem& files, const Path& root, const QByteArray& relative,
                        QStringList& lines) {
    NameList names;
    if (!files.readFolder(root / relative, names).ok()) return;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QByteArray child =
            relative.isEmpty() ? names.name(i) : relative + '/' + names.name(i);
        const Path path = root / child;
        const auto status = files.status(path);
        QByteArray sum;
        if (status && status->kind == FileStatus::Kind::File) {
            QFile file;
            const int fd = ::open(path.c_str(), O_RDONLY);
            if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
                sum = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
        }
        lines << QStringLiteral("%1 %2 %3 %4")
                     .arg(displayName(child))
                     .arg(int(status ? status->kind : FileStatus::Kind::Other))
                     .arg(status && !status->isDirectory() ? status->size : 0)
                     .arg(QString::fromLatin1(sum));
        if (status && status->isDirectory()) addManifest(files, root, child, lines);
    }
}

inline QStringList manifestOf(const Path& root) {
    LocalFileSystem files;
    QStringList lines;
    addManifest(files, root, {}, lines);
    lines.sort();
    return lines;
}
