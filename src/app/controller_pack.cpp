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

RunResult copyRows(const CopyRunTexts& texts, const QList<PackRow>& rows, bool overwrite,
                   Services& services) {
    return copyStashery(texts,
                        CopyList::fromTexts(columnOf(rows, &PackRow::source),
                                            columnOf(rows, &PackRow::destination), overwrite),
                        {services.prompter, services.notifier, services.files});
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
    RunScope run(services_.files, services_.prompter, side == PackSide::Pack ? "pack" : "unpack",
                 Path());
    if (side == PackSide::Pack)
        return copyRows(CopyRunTexts::pack(), draft_.packRows, saved_.packOverwrite, services_);
    return copyRows(CopyRunTexts::unpack(), draft_.unpackRows, saved_.unpackOverwrite, services_);
}
