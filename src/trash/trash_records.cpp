#include "trash/trash_records.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/descriptor_io.h"

QByteArray trashRecordText(const Path& originalPath, const QDateTime& deletionDate) {
    return QByteArrayLiteral("[Trash Info]\nPath=") + originalPath.bytes().toPercentEncoding("/") +
           QByteArrayLiteral("\nDeletionDate=") +
           deletionDate.toLocalTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() +
           '\n';
}

FileError writeTrashRecord(const TrashLocation& trash, const QByteArray& name,
                           const Path& originalPath, const QDateTime& deletionDate) {
    const Path recordPath = trash.infoFileFor(name);
    // O_EXCL: of two programs trashing the same name, one wins.
    const int fd =
        ::open(recordPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return FileError::fromErrno(errno, recordPath, QStringLiteral("create"));
    int error = writeAll(fd, trashRecordText(originalPath, deletionDate));
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0) return {};
    ::unlink(recordPath.c_str());  // no half record claims the name
    return FileError::fromErrno(error, recordPath, QStringLiteral("write"));
}

FileError makeTrashFolders(const TrashLocation& trash, FileSystem& files) {
    // The data folder itself may be missing on a new account.
    QList<Path> missing;
    for (Path folder = trash.folder;
         !folder.isEmpty() && folder.bytes() != "/" && !files.exists(folder);
         folder = folder.parent())
        missing.prepend(folder);
    missing << trash.files() << trash.info();
    for (const Path& folder : missing) {
        if (files.exists(folder)) continue;  // a link to a Trash elsewhere is fine
        if (FileError error = files.makeDirectory(folder); !error.ok()) return error;
    }
    return {};
}

bool isDirectlyInTrash(const Path& path, const TrashLocation& trash) {
    const Path clean = path.cleaned();
    const QByteArray name = clean.fileName();
    return name != "." && name != ".." && name != "/" && !name.isEmpty() &&
           clean.parent() == trash.files().cleaned();
}

FileError deleteTrashItem(const Path& path, const TrashLocation& trash, FileSystem& files) {
    const QString what = QStringLiteral("delete");
    // An item that is not there was not deleted by us; its record, if any, stays.
    if (!files.exists(path)) return FileError::fromErrno(ENOENT, path, what);
    const FileError error = files.removeAll(path);
    // Only an item that is gone counts as deleted, whatever the removal said.
    if (files.exists(path))
        return !error.ok() && error.code != ENOENT ? error
                                                   : FileError::fromErrno(ENOTEMPTY, path, what);
    const Path record = trash.infoFileFor(path.fileName());
    if (files.exists(record)) return files.removeAll(record);
    return {};
}
