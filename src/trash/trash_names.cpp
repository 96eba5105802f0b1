#include "trash/trash_names.h"

QList<TrashEntry> trashEntriesNamed(const QList<TrashEntry>& entries, const QByteArray& name,
                                    const Path& asPath) {
    QList<TrashEntry> picked;
    const bool isPath = name.contains('/');
    for (const TrashEntry& entry : entries) {
        const bool byPath =
            isPath && (entry.path.cleaned() == asPath || entry.originalPath.cleaned() == asPath);
        const bool byName =
            !isPath && (entry.path.fileName() == name ||
                        (!entry.originalPath.isEmpty() && entry.originalPath.fileName() == name));
        if (byPath || byName) picked << entry;
    }
    return picked;
}

QString trashListingLine(const TrashEntry& entry) {
    const QString date = entry.deletionDate.isValid()
                             ? entry.deletionDate.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                             : QStringLiteral("(no date)");
    const QString from = entry.originalPath.isEmpty()
                             ? QStringLiteral("(no record of where it came from)")
                             : QStringLiteral("from ") + entry.originalPath.display();
    return date.leftJustified(19) + QStringLiteral("  ") + entry.sizeLabel.rightJustified(9) +
           QStringLiteral("  ") + displayName(entry.path.fileName()) + QStringLiteral("  ") + from;
}
