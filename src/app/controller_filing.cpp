#include "app/desktidy_controller.h"
#include "app/plan_details.h"
#include "filing/archive_date.h"
#include "filing/filer.h"
#include "filing/type_table.h"
#include "runs/run_scope.h"

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
    const ArchiveDate& date = draft_.archiveDate;
    Filer filer(services_.files, services_.prompter);
    RunPlan plan = filer.planArchive(folder, draft_,
                                     ArchiveCutoff::fromTitles(date.year, date.month, date.day));
    // Filing comes after archiving: what archiving moves is no longer loose.
    QSet<Path> archived;
    for (const PlannedStep& step : plan.steps)
        if (step.refusal == Refusal::None) archived.insert(step.from);
    const RunPlan filing = filer.planFiling(folder, draft_);
    for (PlannedStep step : filing.steps)
        if (!archived.contains(step.from)) plan.steps.push_back(std::move(step));
    plan.kind = RunPlan::Kind::File;
    return plan;
}

RunPlan DesktidyController::planUnfiling(const Path& folder) {
    return Filer(services_.files, services_.prompter).planUnfiling(folder, draft_.folderNames);
}

RunResult DesktidyController::fileFolder(const Path& folder, Confirmation ask) {
    if (!folderIsThere(folder, services_.prompter)) return RunResult::Failed;
    RunScope run(services_.files, services_.prompter, "file", folder);
    if (!run.started()) return RunResult::Failed;
    if (ask == Confirmation::AskFirst &&
        !services_.prompter.confirmWithDetails(
            QStringLiteral("File these files?"),
            QStringLiteral("Desktidy will file all of the files located in ") + folder.display() +
                QStringLiteral(" into the appropriate folders.  You can always undo this by "
                               "choosing Undesktidy... from the File menu."),
            QStringLiteral("OK"), [&] { return planDetails(planFiling(folder), folder); }))
        return RunResult::Cancelled;

    MoveCounts counts = archiveFolder(folder);
    noteRecentFolder(folder);
    // The filed folder becomes the stored working folder.
    if (const std::optional<QString> text = folder.toText()) draft_.workingFolder = *text;
    saveSetup();
    if (!counts.report.cancelled)
        counts.add(Filer(services_.files, services_.prompter, journaledProgress())
                       .fileFolder(folder, draft_));
    counts.report.kind = RunPlan::Kind::File;
    shownCategoryRow_ = Settings::categoryCount;  // a run leaves the last category shown
    reportRunEnd(counts.report);
    return run.finish(outcomeOf(counts, folder, services_.prompter));
}

RunResult DesktidyController::fileListedFolders(Starter starter) {
    if (starter == Starter::User &&
        !services_.prompter.confirmWithDetails(
            QStringLiteral("File all of these files?"),
            QStringLiteral("Desktidy will file all of the files located in all of the "
                           "directories that are listed in the Desktidy Folders Setup.  You can "
                           "always undo this by choosing Unfile All Stashery... from the File "
                           "menu."),
            QStringLiteral("OK"), [this] { return listedFoldersDetails(); }))
        return RunResult::Cancelled;

    RunScope run(services_.files, services_.prompter,
                 starter == Starter::Schedule ? "scheduled" : "file-all", Path());
    bool failed = false;
    forEachListedFolder([&](const Path& folder) {
        failed |= fileFolder(folder, Confirmation::DontAsk) == RunResult::Failed;
    });
    // Each failed folder has said so; "all of the files have been filed" would be untrue.
    if (failed) return RunResult::Failed;
    services_.notifier.notify(
        QStringLiteral("Done filing all of your files"),
        QStringLiteral("All of the files, in all of the folders you have listed in your Setup, "
                       "have been filed."),
        NotificationName::doneFiling);
    return RunResult::Done;
}

QList<Path> DesktidyController::distinctListedFolders() const {
    QList<Path> folders;
    for (const QString& listed : draft_.listedFolders)
        if (const Path folder = Path::fromText(listed); !folders.contains(folder))
            folders << folder;
    return folders;
}

QString DesktidyController::listedFoldersDetails() {
    QStringList details;
    for (const Path& folder : distinctListedFolders())
        if (isFolderOrLinkToOne(folder))
            details << folder.display() + QStringLiteral(":\n") +
                           planDetails(planFiling(folder), folder);
    return details.join(QStringLiteral("\n\n"));
}

MoveCounts DesktidyController::archiveFolder(const Path& folder) {
    // The date the run is about to save, not the one stored before it.
    const ArchiveDate& date = draft_.archiveDate;
    const auto cutoff = ArchiveCutoff::fromTitles(date.year, date.month, date.day);
    if (cutoff.isOff()) return {};
    RunScope run(services_.files, services_.prompter, "archive", folder);
    if (!run.started()) return {};
    const MoveCounts counts = Filer(services_.files, services_.prompter, journaledProgress())
                                  .archiveFolder(folder, draft_, cutoff);
    shownCategoryRow_ = Settings::categoryCount;
    return counts;
}

RunResult DesktidyController::unfileFolder(const Path& folder) {
    if (!folderIsThere(folder, services_.prompter)) return RunResult::Failed;
    RunScope run(services_.files, services_.prompter, "unfile", folder);
    if (!run.started()) return RunResult::Failed;
    // The question lists the very plan that is then carried out.
    const RunPlan plan = planUnfiling(folder);
    if (!services_.prompter.confirmWithDetails(
            QStringLiteral("Unfile these files?"),
            QStringLiteral("Desktidy will unfile all of the files located in ") + folder.display() +
                QStringLiteral(" which are inside the Desktidy folders.  You can always redo the "
                               "filing by choosing Desktidy... from the File menu."),
            QStringLiteral("OK"), [&] { return planDetails(plan, folder); }))
        return RunResult::Cancelled;
    const MoveCounts counts = Filer(services_.files, services_.prompter, journaledProgress())
                                  .execute(plan, QStringLiteral("Unfiling..."));
    reportRunEnd(counts.report);
    return run.finish(outcomeOf(counts, folder, services_.prompter));
}

RunResult DesktidyController::unfileListedFolders() {
    if (!services_.prompter.confirm(
            QStringLiteral("Unfile all of these files?"),
            QStringLiteral("Desktidy will unfile all of the files located in all of the "
                           "directories that are listed in the Desktidy Folders Setup.  You can "
                           "always redo the filing by choosing File All Stashery... from the File "
                           "menu."),
            QStringLiteral("OK")))
        return RunResult::Cancelled;

    RunScope run(services_.files, services_.prompter, "unfile-all", Path());
    // Each folder asks its own question; a "Cancel" there skips that folder only.
    bool failed = false;
    forEachListedFolder(
        [&](const Path& folder) { failed |= unfileFolder(folder) == RunResult::Failed; });
    if (failed) return RunResult::Failed;
    services_.notifier.notify(
        QStringLiteral("Done unfiling all of your files"),
        QStringLiteral("All of the files, in all of the folders you have listed in your Setup, "
                       "have been put back where they came from."),
        NotificationName::doneUnfiling);
    return RunResult::Done;
}

void DesktidyController::forEachListedFolder(const std::function<void(const Path&)>& action) {
    const QString shownFolder = draft_.workingFolder;
    for (const QString& folder : QStringList(draft_.listedFolders)) {
        draft_.workingFolder = folder;
        action(Path::fromText(folder));
    }
    draft_.workingFolder = shownFolder;
}

RunResult DesktidyController::keepWorkingFolder(const Path& folder) {
    const std::optional<QString> text = storableText(folder, services_.prompter);
    if (!text) return RunResult::Failed;
    draft_.workingFolder = *text;
    saveSetup();
    return RunResult::Done;
}

RunResult DesktidyController::addFolders(const QList<Path>& folders) {
    QStringList texts;
    for (const Path& folder : folders) {
        const std::optional<QString> text = storableText(folder, services_.prompter);
        if (!text) return RunResult::Failed;
        texts.append(*text);
    }
    draft_.listedFolders.append(texts);
    return RunResult::Done;
}

void DesktidyController::removeFolders(const QList<int>& rows) {
    removeRows(draft_.listedFolders, rows);
}

void DesktidyController::addType(Category category, const QString& type,
                                 const QString& description) {
    draft_.addType(category, typeEntry(type, description));
}

void DesktidyController::removeTypes(Category category, const QList<int>& rows) {
    removeRows(draft_.types(category), rows);
}
