#include "trash/trash_records.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <cerrno>

QByteArray trashRecordText(const QString& originalPath, const QDateTime& deletionDate) {
    return QByteArrayLiteral("[Trash Info]\nPath=") + QUrl::toPercentEncoding(originalPath, "/") +
           QByteArrayLiteral("\nDeletionDate=") +
           deletionDate.toLocalTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() +
           '\n';
}

FileError writeTrashRecord(const TrashLocation& trash, const QString& name,
                           const QString& originalPath, const QDateTime& deletionDate) {
    const QString recordPath = trash.infoFileFor(name);
    QFile record(recordPath);
    // NewOnly opens with O_EXCL: of two programs trashing the same name, one wins.
    if (!record.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        const int code = QFile::exists(recordPath) ? EEXIST : EIO;
        return FileError::fromErrno(code, recordPath, QStringLiteral("create"));
    }
    const QByteArray text = trashRecordText(originalPath, deletionDate);
    if (record.write(text) != text.size() || !record.flush()) {
        record.close();
        record.remove();
        return FileError::fromErrno(EIO, recordPath, QStringLiteral("write"));
    }
    return {};
}

FileError makeTrashFolders(const TrashLocation& trash, FileSystem& files) {
    // The data folder itself may be missing on a new account.
    QStringList missing;
    for (QString folder = trash.folder;
         !folder.isEmpty() && folder != u"/" && !files.exists(folder);
         folder = deletingLastPathComponent(folder))
        missing.prepend(folder);
    missing << trash.files() << trash.info();
    for (const QString& folder : missing) {
        if (files.exists(folder)) continue;  // a link to a Trash elsewhere is fine
        if (FileError error = files.makeDirectory(folder)) return error;
    }
    return {};
}

bool isDirectlyInTrash(const QString& path, const TrashLocation& trash) {
    const QString clean = QDir::cleanPath(path);
    const QString name = lastPathComponent(clean);
    return name != u"." && name != u".." && !name.isEmpty() &&
           deletingLastPathComponent(clean) == QDir::cleanPath(trash.files());
}

bool isExactName(const QString& path) {
    return !path.contains(QChar::ReplacementCharacter) &&
           QFile::decodeName(QFile::encodeName(path)) == path;
}

FileError deleteTrashItem(const QString& path, const TrashLocation& trash, FileSystem& files) {
    const QString what = QStringLiteral("delete");
    if (!isExactName(path)) return FileError::fromErrno(EILSEQ, path, what);
    // An item that is not there was not deleted by us; its record, if any, stays.
    if (!files.exists(path)) return FileError::fromErrno(ENOENT, path, what);
    const FileError error = files.removeAll(path);
    // Only an item that is gone counts as deleted, whatever the removal said: a folder
    // may hold a name that its listing could not give back exactly.
    if (files.exists(path))
        return error && error.code != ENOENT ? error : FileError::fromErrno(ENOTEMPTY, path, what);
    const QString record = trash.infoFileFor(lastPathComponent(path));
    if (files.exists(record)) return files.removeAll(record);
    return {};
}
