#include "app/desktidy_controller.h"
#include "pack/pack_copy.h"
#include "pack/pack_lists.h"

namespace {

// The lists the copying run and the list edits take: the sources, and the destinations.
QStringList columnOf(const QList<PackRow>& rows, QString PackRow::*cell) {
    QStringList column;
    for (const PackRow& row : rows) column.append(row.*cell);
    return column;
}

QList<PackRow> rowsOf(const QStringList& sources, const QStringList& destinations) {
    QList<PackRow> rows;
    for (qsizetype i = 0; i < sources.size(); ++i) rows.append({sources[i], destinations.value(i)});
    return rows;
}

CopyList copyListOf(const QList<PackRow>& rows, bool overwrite, QList<KeptFolder> kept) {
    CopyList list = CopyList::fromTexts(columnOf(rows, &PackRow::source),
                                        columnOf(rows, &PackRow::destination), overwrite);
    list.kept = std::move(kept);
    return list;
}

}  // namespace

QList<KeptFolder> DesktidyController::keptFolders() const {
    // A copy that replaced one of these would take the user's files, or the program's own
    // settings and history, with it.
    return {{Path::fromText(home_), QStringLiteral("your home folder")},
            {Path::fromText(store_.filePath()).parent(), QStringLiteral("Desktidy's settings")},
            {desktidyStateFolder(home_), QStringLiteral("Desktidy's history")}};
}

QList<PackRow>& DesktidyController::packRowsOf(PackSide side) {
    return side == PackSide::Pack ? draft_.packRows : draft_.unpackRows;
}

const QList<PackRow>& DesktidyController::packRows(PackSide side) const {
    return side == PackSide::Pack ? draft_.packRows : draft_.unpackRows;
}

RunResult DesktidyController::addPackRow(PackSide side, const PackRow& row) {
    const CopyRow copy{Path::fromText(row.source), Path::fromText(row.destination)};
    if (const auto why = whyRowIsRefused(services_.files, copy, keptFolders())) {
        services_.prompter.criticalNotice(
            QStringLiteral("\u201c%1\u201d cannot be listed to be copied to \u201c%2\u201d: %3")
                .arg(copy.source.display(), copy.destination.display(), *why));
        return RunResult::Failed;
    }
    packRowsOf(side).append(row);
    return RunResult::Done;
}

void DesktidyController::removePackRows(PackSide side, const QList<int>& rows) {
    removeRows(packRowsOf(side), rows);
}

void DesktidyController::reversePackList() {
    QStringList sources, destinations;
    deriveUnpackList(columnOf(draft_.packRows, &PackRow::source),
                     columnOf(draft_.packRows, &PackRow::destination), sources, destinations);
    draft_.unpackRows = rowsOf(sources, destinations);
}

void DesktidyController::clearPackLists() {
    draft_.packRows.clear();
    draft_.unpackRows.clear();
}

RunResult DesktidyController::copyPackRows(PackSide side) {
    const bool unpack = side == PackSide::Unpack;
    const CopyRunTexts texts = unpack ? CopyRunTexts::unpack() : CopyRunTexts::pack();
    const bool replaceWithoutAsking = unpack ? saved_.unpackOverwrite : saved_.packOverwrite;
    const QString listName = unpack ? QStringLiteral("unpack") : QStringLiteral("pack");
    // Said before anything is asked, rather than "all done packing" with nothing done.
    if (packRows(side).isEmpty()) {
        services_.prompter.notice(
            QStringLiteral("The %1 list is empty, so there is nothing to %1. ").arg(listName) +
            inWords(QStringLiteral("Add rows in the Pack Stashery pane of the Setup."),
                    QStringLiteral("Add rows with \u201cdesktidy %1-list add SOURCE "
                                   "DESTINATION\u201d.")
                        .arg(listName)));
        return RunResult::Done;
    }
    const CopyList list = copyListOf(packRows(side), replaceWithoutAsking, keptFolders());
    // The run changes its destination folders, so a second run on any of them waits.
    RunRequest request{texts.kind, {}};
    for (const CopyRow& row : list.rows)
        if (!request.folders.contains(row.destination)) request.folders << row.destination;
    request.question = RunQuestion{
        texts.confirmTitle,
        inWords(texts.confirmMessage,
                QStringLiteral("Desktidy will copy every item of the %1 list (\u201cdesktidy "
                               "%1-list\u201d) into its destination folder.")
                    .arg(listName)),
        QStringLiteral("OK"),
        {}};
    return pipeline_
        .run(request,
             [&](RunContext& run) {
                 const RunPlan plan = ::planCopies(list, run.files(), texts.kind);
                 CopyOutcome outcome;
                 const RunResult result =
                     copyStashery(texts, plan, replaceWithoutAsking,
                                  {run.prompter(), run.files(), run.observer()}, outcome);
                 run.report() = outcome.report;
                 if (result == RunResult::Cancelled) return result;
                 if (outcome.notifyDone)
                     run.notifyAtEnd(texts.notificationTitle, texts.notificationDescription,
                                     texts.notificationName);
                 run.noticeAtEnd(outcome.closingNotice);
                 return result;
             })
        .result;
}

RunPlan DesktidyController::planCopies(PackSide side) {
    const bool unpack = side == PackSide::Unpack;
    return ::planCopies(
        copyListOf(packRows(side), unpack ? saved_.unpackOverwrite : saved_.packOverwrite,
                   keptFolders()),
        services_.files, unpack ? RunKind::Unpack : RunKind::Pack);
}
