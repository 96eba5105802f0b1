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

CopyList copyListOf(const QList<PackRow>& rows, bool overwrite) {
    return CopyList::fromTexts(columnOf(rows, &PackRow::source),
                               columnOf(rows, &PackRow::destination), overwrite);
}

}  // namespace

QList<PackRow>& DesktidyController::packRowsOf(PackSide side) {
    return side == PackSide::Pack ? draft_.packRows : draft_.unpackRows;
}

const QList<PackRow>& DesktidyController::packRows(PackSide side) const {
    return side == PackSide::Pack ? draft_.packRows : draft_.unpackRows;
}

void DesktidyController::addPackRow(PackSide side, const PackRow& row) {
    packRowsOf(side).append(row);
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
    const CopyList list = copyListOf(packRows(side), replaceWithoutAsking);
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
        copyListOf(packRows(side), unpack ? saved_.unpackOverwrite : saved_.packOverwrite),
        services_.files, unpack ? RunKind::Unpack : RunKind::Pack);
}
