#include "app/desktidy_controller.h"
#include "filing/archive_date.h"
#include "filing/filer.h"
#include "filing/type_table.h"

namespace {

// A run over the category table leaves its last row selected, as the window shows it.
void selectLastCategory(Settings& settings, SetupForm& form) {
    form.folderTableViewSelectedRow = Settings::categoryCount;
    setTypeArray(settings, Settings::categoryCount);
}

}  // namespace

RunResult DesktidyController::desktidy() {
    const QString folder = form.myPathControl;
    if (displayDktAlert == 0 &&
        !services.prompter.confirm(
            QStringLiteral("File these files?"),
            QStringLiteral("Desktidy will file all of the files located in ") + folder +
                QStringLiteral(" into the appropriate folders.  You can always undo this by "
                               "choosing Undesktidy... from the File menu."),
            QStringLiteral("OK")))
        return RunResult::Cancelled;

    doArchive();
    noteRecentFolder(folder);
    saveSetup();  // the filed folder becomes the stored working folder
    Filer(services.files, services.prompter).fileFolder(folder, settings);
    selectLastCategory(settings, form);
    return RunResult::Done;
}

RunResult DesktidyController::fileAllStashery() {
    if (scheduled == 0 &&
        !services.prompter.confirm(
            QStringLiteral("File all of these files?"),
            QStringLiteral("Desktidy will file all of the files located in all of the "
                           "directories that are listed in the Desktidy Folders Setup.  You can "
                           "always undo this by choosing Unfile All Stashery... from the File "
                           "menu."),
            QStringLiteral("OK")))
        return RunResult::Cancelled;

    displayDktAlert = 1;
    forEachListedFolder([this] { desktidy(); });
    displayDktAlert = 0;
    services.notifier.notify(
        QStringLiteral("Done filing all of your files"),
        QStringLiteral("All of the files, in all of the folders you have listed in your Setup, "
                       "have been filed."),
        NotificationName::doneFiling);
    return RunResult::Done;
}

void DesktidyController::doArchive() {
    const auto cutoff =
        ArchiveCutoff::fromTitles(settings.archYear, settings.archMonth, settings.archDay);
    if (cutoff.isOff()) return;
    Filer(services.files, services.prompter).archiveFolder(form.myPathControl, settings, cutoff);
    selectLastCategory(settings, form);
}

RunResult DesktidyController::undesktidy() {
    const QString folder = form.myPathControl;
    if (!services.prompter.confirm(
            QStringLiteral("Unfile these files?"),
            QStringLiteral("Desktidy will unfile all of the files located in ") + folder +
                QStringLiteral(" which are inside the Desktidy folders.  You can always redo the "
                               "filing by choosing Desktidy... from the File menu."),
            QStringLiteral("OK")))
        return RunResult::Cancelled;
    Filer(services.files, services.prompter).unfileFolder(folder, settings.fileFoldersArray);
    return RunResult::Done;
}

RunResult DesktidyController::unfileAllStashery() {
    if (!services.prompter.confirm(
            QStringLiteral("Unfile all of these files?"),
            QStringLiteral("Desktidy will unfile all of the files located in all of the "
                           "directories that are listed in the Desktidy Folders Setup.  You can "
                           "always redo the filing by choosing File All Stashery... from the File "
                           "menu."),
            QStringLiteral("OK")))
        return RunResult::Cancelled;

    // Each folder asks its own question; a "Cancel" there skips that folder only.
    forEachListedFolder([this] { undesktidy(); });
    services.notifier.notify(
        QStringLiteral("Done unfiling all of your files"),
        QStringLiteral("All of the files, in all of the folders you have listed in your Setup, "
                       "have been put back where they came from."),
        NotificationName::doneUnfiling);
    return RunResult::Done;
}

void DesktidyController::forEachListedFolder(const std::function<void()>& action) {
    const QString shownFolder = form.myPathControl;
    for (const QString& folder : QStringList(settings.myFoldersArray)) {
        form.myPathControl = folder;
        action();
    }
    form.myPathControl = shownFolder;
}

RunResult DesktidyController::chooseFile() {
    const auto chosen =
        services.chooser.choose(ChooserRequest::forFolders({}, QStringLiteral("Choose"), false));
    if (!chosen || chosen->isEmpty()) return RunResult::Cancelled;
    form.myPathControl = chosen->last();
    saveSetup();
    return RunResult::Done;
}

RunResult DesktidyController::addFolder() {
    const auto chosen =
        services.chooser.choose(ChooserRequest::forFolders({}, QStringLiteral("Add"), true));
    if (!chosen) return RunResult::Cancelled;
    settings.myFoldersArray.append(*chosen);
    return RunResult::Done;
}

void DesktidyController::delFolder(const QList<int>& rows) {
    removeRows(settings.myFoldersArray, rows);
}

void DesktidyController::setTypeArray() {
    ::setTypeArray(settings, form.folderTableViewSelectedRow);
}

bool DesktidyController::doType(const QString& type, const QString& description) {
    return ::doType(settings, form.folderTableViewSelectedRow, type, description);
}

void DesktidyController::delType(const QList<int>& rows) { ::delType(settings, rows); }
