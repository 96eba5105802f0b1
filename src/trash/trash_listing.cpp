#include "trash/trash_listing.h"

#include <QStringList>
#include <algorithm>

#include "trash/item_label.h"
#include "trash/trash_emptying.h"

namespace {

// A record is a few lines; anything longer than this is not one.
constexpr qsizetype recordLimit = 64 * 1024;

}  // namespace

TrashEntry parseTrashRecord(const QByteArray& text) {
    TrashEntry entry;
    bool inGroup = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inGroup = line == "[Trash Info]";
        } else if (inGroup && line.startsWith("Path=")) {
            entry.originalPath = Path(QByteArray::fromPercentEncoding(line.mid(5)));
        } else if (inGroup && line.startsWith("DeletionDate=")) {
            entry.deletionDate =
                QDateTime::fromString(QString::fromLatin1(line.mid(13)), Qt::ISODate);
        }
    }
    return entry;
}

QList<TrashEntry> trashEntries(const TrashLocation& trash, FileSystem& files, TrashSizes sizes) {
    QList<TrashEntry> entries;
    for (const Path& path : trashItemPaths(trash, files)) {
        QByteArray record;
        (void)files.readSmallFile(trash.infoFileFor(path.fileName()), record, recordLimit);
        TrashEntry entry = parseTrashRecord(record);
        // A relative place is from the folder that holds the Trash.
        if (!entry.originalPath.isEmpty() && !entry.originalPath.isAbsolute())
            entry.originalPath = trash.folder.parent() / entry.originalPath.bytes();
        entry.path = path;
        if (sizes == TrashSizes::Measured) {
            entry.bytes = itemSizeInBytes(path, files);
            entry.sizeLabel = sizeText(entry.bytes);
        }
        entries.append(std::move(entry));
    }
    // The listing comes sorted by name, which a stable sort keeps among equal dates.
    std::stable_sort(entries.begin(), entries.end(), [](const TrashEntry& a, const TrashEntry& b) {
        if (a.deletionDate.isValid() != b.deletionDate.isValid()) return a.deletionDate.isValid();
        return a.deletionDate > b.deletionDate;
    });
    return entries;
}

QString someNames(const QList<Path>& paths, int shown) {
    QStringList lines;
    for (qsizetype i = 0; i < paths.size() && i < shown; ++i)
        lines << displayName(paths.at(i).fileName());
    if (paths.size() > shown) lines << QStringLiteral("and %1 more").arg(paths.size() - shown);
    return lines.join(u'\n');
}
