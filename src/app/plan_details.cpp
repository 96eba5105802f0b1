#include "app/plan_details.h"

#include <QMap>

namespace {

Path relativeTo(const Path& path, const Path& folder) {
    QByteArray base = folder.bytes();
    if (!base.endsWith('/')) base += '/';
    return path.bytes().startsWith(base) ? Path(path.bytes().mid(base.size())) : path;
}

}  // namespace

QString planDetails(const RunPlan& plan, const Path& folder) {
    if (plan.steps.empty()) return QStringLiteral("Nothing will move.");
    QMap<QString, int> perFolder;
    int staying = 0;
    QStringList lines;
    for (const PlannedStep& step : plan.steps) {
        PlannedStep shown = step;
        shown.from = relativeTo(step.from, folder);
        shown.to = relativeTo(step.to, folder);
        if (lines.size() < shownItems) lines << planLine(shown);
        if (step.refusal != Refusal::None)
            ++staying;
        else
            ++perFolder[(plan.kind == RunKind::Unfile ? shown.from : shown.to).parent().display()];
    }
    QStringList counts;
    for (auto it = perFolder.cbegin(); it != perFolder.cend(); ++it)
        counts << it.key() + QStringLiteral(": ") + QString::number(it.value());
    if (staying > 0)
        counts << QStringLiteral("Staying where they are: ") + QString::number(staying);
    if (const qsizetype more = qsizetype(plan.steps.size()) - lines.size(); more > 0)
        lines << QStringLiteral("and %1 more.").arg(more);
    return counts.join(u'\n') + QStringLiteral("\n\n") + lines.join(u'\n');
}
