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

RunResult DesktidyController::packStashery() {
    RunScope run(services.files, services.prompter, "pack", Path());
    return copyRows(CopyRunTexts::pack(), draft.packRows, saved_.packOverwrite, services);
}

RunResult DesktidyController::unpackStashery() {
    RunScope run(services.files, services.prompter, "unpack", Path());
    return copyRows(CopyRunTexts::unpack(), draft.unpackRows, saved_.unpackOverwrite, services);
}
