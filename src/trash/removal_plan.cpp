#include "trash/removal_plan.h"

#include <QSet>

#include "platform/file_system.h"
#include "platform/item_type.h"

namespace {

// name with suffix put before its extension.
QString withSuffix(const QString& name, const QString& suffix) {
    const QString extension = itemTypeOf(name);
    if (extension.isEmpty()) return name + suffix;
    return name.chopped(extension.size() + 1) + suffix + u'.' + extension;
}

}  // namespace

QList<PlannedMove> planMoves(const QStringList& sources, const QString& folder,
                             const QDateTime& time, FileSystem& files) {
    const QString timeSuffix = time.toLocalTime().toString(QStringLiteral("-HH-mm-ss"));
    QSet<QString> taken;
    auto isFree = [&](const QString& destination) {
        return !taken.contains(destination) && !files.exists(destination);
    };

    QList<PlannedMove> plan;
    for (const QString& source : sources) {
        const QString name = lastPathComponent(source);
        QString destination = joinPath(folder, name);
        if (!isFree(destination)) {
            destination = joinPath(folder, withSuffix(name, timeSuffix));
            for (int counter = 2; !isFree(destination); ++counter)
                destination = joinPath(
                    folder, withSuffix(name, timeSuffix + u'-' + QString::number(counter)));
        }
        taken.insert(destination);
        plan.append({source, destination});
    }
    return plan;
}
