#include "app/desktidy_controller.h"
#include "pack/pack_copy.h"
#include "pack/pack_lists.h"

bool DesktidyController::addPackFiles() {
    return doAddFiles(settings.packFromArray, settings.packToArray);
}

bool DesktidyController::addUnpackFiles() {
    return doAddFiles(settings.unpackFromArray, settings.unpackToArray);
}

bool DesktidyController::doAddFiles(QStringList& fromArray, QStringList& toArray) {
    return addRowByChoosing(services.chooser, fromArray, toArray);
}

void DesktidyController::delPackFiles(const QList<int>& selectedRows) {
    removeRows(settings.packFromArray, settings.packToArray, selectedRows);
}

void DesktidyController::delUnpackFiles(const QList<int>& selectedRows) {
    removeRows(settings.unpackFromArray, settings.unpackToArray, selectedRows);
}

void DesktidyController::reversePack() {
    deriveUnpackList(settings.packFromArray, settings.packToArray, settings.unpackFromArray,
                     settings.unpackToArray);
}

void DesktidyController::clearPackTables() { clearPackLists(settings); }

RunResult DesktidyController::packStashery() {
    return copyStashery(CopyRunTexts::pack(),
                        CopyList::fromTexts(settings.packFromArray, settings.packToArray,
                                            settings.packOverwrite != 0),
                        {services.prompter, services.notifier, services.files});
}

RunResult DesktidyController::unpackStashery() {
    return copyStashery(CopyRunTexts::unpack(),
                        CopyList::fromTexts(settings.unpackFromArray, settings.unpackToArray,
                                            settings.unpackOverwrite != 0),
                        {services.prompter, services.notifier, services.files});
}
