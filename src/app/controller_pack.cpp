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

bool DesktidyController::addPackFiles() { return doAddFiles(draft.packRows); }

bool DesktidyController::addUnpackFiles() { return doAddFiles(draft.unpackRows); }

bool DesktidyController::doAddFiles(QList<PackRow>& rows) {
    QStringList sources, destinations;
    if (!addRowByChoosing(services.chooser, sources, destinations)) return false;
    rows.append(rowsOf(sources, destinations));
    return true;
}

void DesktidyController::delPackFiles(const QList<int>& selectedRows) {
    removeRows(draft.packRows, selectedRows);
}

void DesktidyController::delUnpackFiles(const QList<int>& selectedRows) {
    removeRows(draft.unpackRows, selectedRows);
}

void DesktidyController::reversePack() {
    QStringList sources, destinations;
    deriveUnpackList(columnOf(draft.packRows, &PackRow::source),
                     columnOf(draft.packRows, &PackRow::destination), sources, destinations);
    draft.unpackRows = rowsOf(sources, destinations);
}

void DesktidyController::clearPackTables() {
    draft.packRows.clear();
    draft.unpackRows.clear();
}

RunResult DesktidyController::packStashery() { return copyRows(false); }

RunResult DesktidyController::unpackStashery() { return copyRows(true); }

RunResult DesktidyController::copyRows(bool unpack) {
    RunReport report;
    report.kind = unpack ? RunPlan::Kind::Unpack : RunPlan::Kind::Pack;
    const RunResult result =
        copyStashery(unpack ? CopyRunTexts::unpack() : CopyRunTexts::pack(),
                     copyListOf(unpack ? draft.unpackRows : draft.packRows,
                                unpack ? saved_.unpackOverwrite : saved_.packOverwrite),
                     {services.prompter, services.notifier, services.files, runProgress}, &report);
    // A run the user declined at its question made no result.
    if (onRunEnd && (result != RunResult::Cancelled || report.total > 0)) onRunEnd(report);
    return result;
}

RunPlan DesktidyController::planCopies(bool unpack) {
    return ::planCopies(copyListOf(unpack ? draft.unpackRows : draft.packRows,
                                   unpack ? saved_.unpackOverwrite : saved_.packOverwrite),
                        services.files, unpack ? RunPlan::Kind::Unpack : RunPlan::Kind::Pack);
}
