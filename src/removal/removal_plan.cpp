#include "removal/removal_plan.h"

#include <QSet>

#include "platform/file_system.h"
#include "platform/item_type.h"

namespace {

// name with suffix put before its extension.
QByteArray withSuffix(const QByteArray& name, const QByteArray& suffix) {
    const QByteArrayView extension = itemTypeOf(name);
    if (extension.isEmpty()) return name + suffix;
    QByteArray suffixed = name.chopped(extension.size() + 1);
    return suffixed.append(suffix).append('.').append(extension);
}

}  // namespace

QList<PlannedMove> planMoves(const QList<Path>& sources, const Path& folder, const QDateTime& time,
                             FileSystem& files) {
    const QByteArray timeSuffix = time.toLocalTime().toString(QStringLiteral("-HH-mm-ss")).toUtf8();
    QSet<Path> taken;
    auto isFree = [&](const Path& destination) {
        return !taken.contains(destination) && !files.exists(destination);
    };

    QList<PlannedMove> plan;
    for (const Path& source : sources) {
        const QByteArray name = source.fileName();
        Path destination = folder / name;
        if (!isFree(destination)) {
            destination = folder / withSuffix(name, timeSuffix);
            for (int counter = 2; !isFree(destination); ++counter)
                destination =
                    folder / withSuffix(name, timeSuffix + '-' + QByteArray::number(counter));
        }
        taken.insert(destination);
        plan.append({source, destination});
    }
    return plan;
}
