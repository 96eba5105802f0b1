#include "app/desktidy_controller.h"
#include "filing/archive_date.h"
#include "filing/filer.h"
#include "filing/type_table.h"

namespace {

// A working folder that is not there is refused, so that a mistyped or vanished folder
// is neither filed "successfully" nor kept as the working folder. A link to a folder is
// a folder here.
bool folderIsThere(const Path& folder, Prompter& prompter) {
    if (isFolderOrLinkToOne(folder)) return true;
    prompter.criticalNotice(QStringLiteral("The folder ") + folder.display() +
                            QStringLiteral(" does not exist."));
    return false;
}

// The settings hold text, so a folder whose path is not UTF-8 cannot be stored there.
std::optional<QString> storableText(const Path& folder, Prompter& prompter) {
    std::optional<QString> text = folder.toText();
    if (!text)
        prompter.criticalNotice(QStringLiteral("The folder ") + folder.display() +
                                QStringLiteral(" cannot be kept in the Setup: its name is not "
                                               "UTF-8 text."));
    return text;
}

// Items that stayed because their name was taken are the normal course; moves that failed
// with an error make the run a failure, told with how many and the first reason.
RunResult outcomeOf(const MoveCounts& counts, const Path& folder, Prompter& prompter) {
    if (counts.failed == 0) return counts.report.cancelled ? RunResult::Cancelled : RunResult::Done;
    prompter.criticalNotice(
        QString::number(counts.failed) +
        (counts.failed == 1 ? QStringLiteral(" item") : QStringLiteral(" items")) +
        QStringLiteral(" in ") + folder.display() + QStringLiteral(" could not be moved. ") +
        counts.firstFailure.message);
    return RunResult::Failed;
}

}  // namespace

RunPlan DesktidyController::planFiling(const Path& folder) {
    const ArchiveDate& date = draft.archiveDate;
    Filer filer(services.files, services.prompter);
    RunPlan plan = filer.planArchive(folder, draft,
                                     ArchiveCutoff::fromTitles(date.year, date.month, date.day));
    // Filing comes after archiving: what archiving moves is no longer loose.
    QSet<Path> archived;
    for (const PlannedStep& step : plan.steps)
        if (step.refusal == Refusal::None) archived.insert(step.from);
    for (PlannedStep& step : filer.planFiling(folder, draft).steps)
        if (!archived.contains(step.from)) plan.steps.push_back(std::move(step));
    plan.kind = RunPlan::Kind::File;
    return plan;
}

RunPlan DesktidyController::planUnfiling(const Path& folder) {
    return Filer(services.files, services.prompter).planUnfiling(folder, draft.folderNames);
}

RunResult DesktidyController::desktidy() { return desktidy(workingFolder()); }

RunResult DesktidyController::desktidy(const Path& folder) {
    if (!folderIsThere(folder, services.prompter)) return RunResult::Failed;
    if (displayDktAlert == 0 &&
        !services.prompter.confirm(
            QStringLiteral("File these files?"),
            QStringLiteral("Desktidy will file all of the files located in ") + folder.display() +
                QStringLiteral(" into the appropriate folders.  You can always undo this by "
                               "choosing Undesktidy... from the File menu."),
            QStringLiteral("OK")))
        return RunResult::Cancelled;

    MoveCounts counts = doArchive(folder);
    noteRecentFolder(folder);
    // The filed folder becomes the stored working folder.
    if (const std::optional<QString> text = folder.toText()) draft.workingFolder = *text;
    saveSetup();
    if (!counts.report.cancelled)
        counts.add(Filer(services.files, services.prompter, runProgress).fileFolder(folder, draft));
    counts.report.kind = RunPlan::Kind::File;
    categoryRow_ = Settings::categoryCount;  // a run leaves the last category selected
    if (onRunEnd) onRunEnd(counts.report);
    return outcomeOf(counts, folder, services.prompter);
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
    bool failed = false;
    forEachListedFolder([&] { failed |= desktidy() == RunResult::Failed; });
    displayDktAlert = 0;
    // Each failed folder has said so; "all of the files have been filed" would be untrue.
    if (failed) return RunResult::Failed;
    services.notifier.notify(
        QStringLiteral("Done filing all of your files"),
        QStringLiteral("All of the files, in all of the folders you have listed in your Setup, "
                       "have been filed."),
        NotificationName::doneFiling);
    return RunResult::Done;
}

MoveCounts DesktidyController::doArchive(const Path& folder) {
    // The date the run is about to save, not the one stored before it.
    const ArchiveDate& date = draft.archiveDate;
    const auto cutoff = ArchiveCutoff::fromTitles(date.year, date.month, date.day);
    if (cutoff.isOff()) return {};
    const MoveCounts counts =
        Filer(services.files, services.prompter, runProgress).archiveFolder(folder, draft, cutoff);
    categoryRow_ = Settings::categoryCount;
    return counts;
}

RunResult DesktidyController::undesktidy() { return undesktidy(workingFolder()); }

RunResult DesktidyController::undesktidy(const Path& folder) {
    if (!folderIsThere(folder, services.prompter)) return RunResult::Failed;
    if (!services.prompter.confirm(
            QStringLiteral("Unfile these files?"),
            QStringLiteral("Desktidy will unfile all of the files located in ") + folder.display() +
                QStringLiteral(" which are inside the Desktidy folders.  You can always redo the "
                               "filing by choosing Desktidy... from the File menu."),
            QStringLiteral("OK")))
        return RunResult::Cancelled;
    const MoveCounts counts = Filer(services.files, services.prompter, runProgress)
                                  .unfileFolder(folder, draft.folderNames);
    if (onRunEnd) onRunEnd(counts.report);
    return outcomeOf(counts, folder, services.prompter);
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
    bool failed = false;
    forEachListedFolder([&] { failed |= undesktidy() == RunResult::Failed; });
    if (failed) return RunResult::Failed;
    services.notifier.notify(
        QStringLiteral("Done unfiling all of your files"),
        QStringLiteral("All of the files, in all of the folders you have listed in your Setup, "
                       "have been put back where they came from."),
        NotificationName::doneUnfiling);
    return RunResult::Done;
}

void DesktidyController::forEachListedFolder(const std::function<void()>& action) {
    const QString shownFolder = draft.workingFolder;
    for (const QString& folder : QStringList(draft.listedFolders)) {
        draft.workingFolder = folder;
        action();
    }
    draft.workingFolder = shownFolder;
}

RunResult DesktidyController::chooseFile() {
    const auto chosen =
        services.chooser.choose(ChooserRequest::forFolders({}, QStringLiteral("Choose"), false));
    if (!chosen || chosen->isEmpty()) return RunResult::Cancelled;
    const std::optional<QString> folder = storableText(chosen->last(), services.prompter);
    if (!folder) return RunResult::Failed;
    draft.workingFolder = *folder;
    saveSetup();
    return RunResult::Done;
}

RunResult DesktidyController::addFolder() {
    const auto chosen =
        services.chooser.choose(ChooserRequest::forFolders({}, QStringLiteral("Add"), true));
    if (!chosen) return RunResult::Cancelled;
    QStringList folders;
    for (const Path& path : *chosen) {
        const std::optional<QString> folder = storableText(path, services.prompter);
        if (!folder) return RunResult::Failed;
        folders.append(*folder);
    }
    draft.listedFolders.append(folders);
    return RunResult::Done;
}

void DesktidyController::delFolder(const QList<int>& rows) {
    removeRows(draft.listedFolders, rows);
}

void DesktidyController::setTypeArray(int row) { categoryRow_ = row; }

bool DesktidyController::doType(const QString& type, const QString& description) {
    const std::optional<Category> category = categoryAt(categoryRow_);
    if (!category) return false;
    draft.addType(*category, typeEntry(type, description));
    return true;
}

void DesktidyController::delType(const QList<int>& rows) {
    if (const std::optional<Category> category = categoryAt(categoryRow_))
        removeRows(draft.types(*category), rows);
}
