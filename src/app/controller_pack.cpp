#include "app/desktidy_controller.h"
#include "pack/pack_copy.h"
#include "pack/pack_lists.h"
#include "runs/run_scope.h"

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
    const CopyList list =
        copyListOf(packRows(side), unpack ? saved_.unpackOverwrite : saved_.packOverwrite);
    // The run changes its destination folders, so a second run on any of them waits.
    QList<Path> destinations;
    for (const CopyRow& row : list.rows)
        if (!destinations.contains(row.destination)) destinations << row.destination;
    RunScope run(services_.files, services_.prompter, unpack ? "unpack" : "pack", destinations);
    if (!run.started()) return RunResult::Failed;
    RunReport report;
    report.kind = unpack ? RunPlan::Kind::Unpack : RunPlan::Kind::Pack;
    const RunResult result = copyStashery(
        unpack ? CopyRunTexts::unpack() : CopyRunTexts::pack(), list,
        {services_.prompter, services_.notifier, services_.files, journaledProgress()}, &report);
    // A run the user declined at its question made no result.
    if (result != RunResult::Cancelled || report.total > 0) reportRunEnd(report);
    return result;
}

RunPlan DesktidyController::planCopies(PackSide side) {
    const bool unpack = side == PackSide::Unpack;
    return ::planCopies(
        copyListOf(packRows(side), unpack ? saved_.unpackOverwrite : saved_.packOverwrite),
        services_.files, unpack ? RunPlan::Kind::Unpack : RunPlan::Kind::Pack);
}
