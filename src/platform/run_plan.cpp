#include "platform/run_plan.h"

#include <QJsonArray>
#include <QLocale>

qsizetype RunPlan::stepsToMake() const {
    return static_cast<qsizetype>(steps.size()) - refusedCount(Refusal::NameTaken) -
           refusedCount(Refusal::NoMatchingType) - refusedCount(Refusal::NotAFolder) -
           refusedCount(Refusal::NotAllowed) - refusedCount(Refusal::Missing);
}

void RunPlan::append(RunPlan other) {
    const qsizetype offset = steps.size();
    steps.append(std::move(other.steps));
    makeFirst += other.makeFirst;
    for (FolderRemoval& removal : other.removeWhenEmpty)
        removeWhenEmpty.append({removal.afterSteps + offset, std::move(removal.folder)});
    notices += other.notices;
}

qsizetype RunPlan::refusedCount(Refusal why) const { return steps.count(why); }

void RunReport::addCounts(const RunReport& part) {
    done += part.done;
    folders += part.folders;
    nameTaken += part.nameTaken;
    noMatchingType += part.noMatchingType;
    notAFolder += part.notAFolder;
    notAllowed += part.notAllowed;
    missing += part.missing;
    leftAlone += part.leftAlone;
    failed += part.failed;
    total += part.total;
    cancelled = cancelled || part.cancelled;
}

void RunReport::countPlan(const RunPlan& plan) {
    kind = plan.kind;
    total = static_cast<int>(plan.stepsToMake());
    nameTaken += static_cast<int>(plan.refusedCount(Refusal::NameTaken));
    noMatchingType += static_cast<int>(plan.refusedCount(Refusal::NoMatchingType));
    notAFolder += static_cast<int>(plan.refusedCount(Refusal::NotAFolder));
    notAllowed += static_cast<int>(plan.refusedCount(Refusal::NotAllowed));
    missing += static_cast<int>(plan.refusedCount(Refusal::Missing));
    stopAlert = plan.stopAlert;
    stopItem = plan.stopItem;
}

namespace {

QString counted(int n, const char* one, const char* many, const QLocale& locale) {
    return QStringLiteral("%1 %2").arg(locale.toString(n), QLatin1String(n == 1 ? one : many));
}

QString reasonText(Refusal why) {
    switch (why) {
        case Refusal::NameTaken:
            return QStringLiteral("name taken");
        case Refusal::NoMatchingType:
            return QStringLiteral("no matching type");
        case Refusal::NotAFolder:
            return QStringLiteral("not a real folder");
        case Refusal::NotAllowed:
            return QStringLiteral("not allowed");
        case Refusal::Missing:
            return QStringLiteral("missing");
        case Refusal::None:
            break;
    }
    return QString();
}

// "3 stayed: 2 with no matching type, 1 name taken." with the given verb for "stayed".
QString stayedSentence(const RunReport& r, const QString& verb, const QLocale& locale) {
    const int stayed = r.stayed();
    if (stayed == 0) return QString();
    const auto n = [&locale](int count) { return locale.toString(count); };
    QStringList parts;
    if (r.noMatchingType)
        parts << QStringLiteral("%1 with no matching type").arg(n(r.noMatchingType));
    if (r.nameTaken)
        parts << (r.nameTaken == 1 ? QStringLiteral("1 name taken")
                                   : QStringLiteral("%1 names taken").arg(n(r.nameTaken)));
    if (r.notAFolder) parts << QStringLiteral("%1 not in a real folder").arg(n(r.notAFolder));
    if (r.notAllowed) parts << QStringLiteral("%1 not allowed").arg(n(r.notAllowed));
    if (r.leftAlone) parts << QStringLiteral("%1 left where they are").arg(n(r.leftAlone));
    if (r.missing) parts << QStringLiteral("%1 missing").arg(n(r.missing));
    if (r.failed) parts << QStringLiteral("%1 failed").arg(n(r.failed));
    return QStringLiteral(" %1 %2: %3.").arg(n(stayed), verb, parts.join(QStringLiteral(", ")));
}

QString movedSentence(const RunReport& r, const char* verb, const char* preposition,
                      const QLocale& locale) {
    if (r.done == 0)
        return QStringLiteral("Nothing was %1.").arg(QString::fromLatin1(verb).toLower());
    return QStringLiteral("%1 %2 %3 %4.")
        .arg(QLatin1String(verb), counted(r.done, "item", "items", locale),
             QLatin1String(preposition), counted(r.folders, "folder", "folders", locale));
}

QJsonValue pathJson(const Path& path) {
    return path.isEmpty() ? QJsonValue() : QJsonValue(textKeepingBytes(path.bytes()));
}

}  // namespace

QString resultLine(const RunReport& r, const QLocale& locale) {
    QString line;
    switch (r.kind) {
        case RunKind::Archive:
            line =
                movedSentence(r, "Archived", "into", locale) + stayedSentence(r, "stayed", locale);
            break;
        case RunKind::File:
        case RunKind::FileAll:
        case RunKind::Scheduled:
        case RunKind::Watch:
            line = movedSentence(r, "Filed", "into", locale) + stayedSentence(r, "stayed", locale);
            break;
        case RunKind::Unfile:
        case RunKind::UnfileAll:
            line =
                movedSentence(r, "Unfiled", "from", locale) + stayedSentence(r, "stayed", locale);
            break;
        case RunKind::Rename:
            line =
                r.done == 0
                    ? QStringLiteral("Nothing was renamed.")
                    : QStringLiteral("Renamed %1.").arg(counted(r.done, "item", "items", locale));
            line += stayedSentence(r, "kept their names", locale);
            if (r.stopAlert)
                line += QStringLiteral(" Stopped at \u201c%1\u201d: %2")
                            .arg(displayName(r.stopItem.fileName()), *r.stopAlert);
            break;
        case RunKind::Pack:
        case RunKind::Unpack: {
            const bool pack = r.kind == RunKind::Pack;
            line = r.done == 0
                       ? QStringLiteral("Nothing was %1.")
                             .arg(pack ? QStringLiteral("packed") : QStringLiteral("unpacked"))
                       : QStringLiteral("%1 %2.").arg(
                             pack ? QStringLiteral("Packed") : QStringLiteral("Unpacked"),
                             counted(r.done, "item", "items", locale));
            line += stayedSentence(r, "not copied", locale);
            break;
        }
        case RunKind::RemoveApp:
            line = r.done == 0 ? QStringLiteral("Nothing was moved to the Trash.")
                               : QStringLiteral("Moved %1 to the Trash.")
                                     .arg(counted(r.done, "item", "items", locale));
            line += stayedSentence(r, "stayed", locale);
            break;
        case RunKind::Undo:
            line = QStringLiteral("Undid %1: %2 moved back.")
                       .arg(r.subject, counted(r.done, "item", "items", locale));
            line += stayedSentence(r, "stayed", locale);
            break;
        case RunKind::EmptyTrash:
            line = r.done == 0 ? QStringLiteral("Nothing was deleted.")
                               : QStringLiteral("Deleted %1 for good.")
                                     .arg(counted(r.done, "item", "items", locale));
            line += stayedSentence(r, "stayed", locale);
            break;
        case RunKind::Restore:
            line =
                r.done == 0
                    ? QStringLiteral("Nothing was put back.")
                    : QStringLiteral("Put back %1.").arg(counted(r.done, "item", "items", locale));
            line += stayedSentence(r, "stayed in the Trash", locale);
            break;
    }
    if (r.cancelled)
        line += QStringLiteral(" Cancelled after %1 of %2.")
                    .arg(locale.toString(r.done), locale.toString(r.total));
    return line;
}

QJsonObject planJson(const RunPlan& plan) {
    QJsonArray steps;
    for (const PlannedStep& step : plan.steps) {
        QJsonObject item{{"from", pathJson(step.from)}, {"to", pathJson(step.to)}};
        if (step.replaces) item.insert("replaces", true);
        if (step.refusal != Refusal::None) {
            item.insert("refused", reasonText(step.refusal));
            if (!step.why.isEmpty()) item.insert("alert", step.why);
        }
        steps.append(item);
    }
    QJsonObject json{{"run", QString::fromLatin1(runKindKey(plan.kind))}, {"steps", steps}};
    if (!plan.notices.isEmpty()) json.insert("notices", QJsonArray::fromStringList(plan.notices));
    if (plan.stopAlert)
        json.insert("stop",
                    QJsonObject{{"item", pathJson(plan.stopItem)}, {"alert", *plan.stopAlert}});
    return json;
}

QJsonObject reportJson(const RunReport& r) {
    QJsonObject json{{"run", QString::fromLatin1(runKindKey(r.kind))},
                     {"result", resultLine(r)},
                     {"done", r.done},
                     {"planned", r.total},
                     {"folders", r.folders},
                     {"cancelled", r.cancelled},
                     {"stayed", QJsonObject{{"name_taken", r.nameTaken},
                                            {"no_matching_type", r.noMatchingType},
                                            {"not_a_folder", r.notAFolder},
                                            {"not_allowed", r.notAllowed},
                                            {"missing", r.missing},
                                            {"left_alone", r.leftAlone},
                                            {"failed", r.failed}}}};
    if (r.stopAlert)
        json.insert("stop", QJsonObject{{"item", pathJson(r.stopItem)}, {"alert", *r.stopAlert}});
    if (!r.details.isEmpty()) json.insert("details", QJsonArray::fromStringList(r.details));
    return json;
}

QString planLine(const PlannedStep& step) {
    QString line = step.from.display();
    if (!step.to.isEmpty()) line += QStringLiteral(" -> ") + step.to.display();
    if (step.replaces) line += QStringLiteral("  [replaces]");
    if (step.refusal != Refusal::None) {
        line += QStringLiteral("  [stays: ") + reasonText(step.refusal);
        if (!step.why.isEmpty()) line += QStringLiteral(": ") + step.why;
        line += u']';
    }
    return line;
}
