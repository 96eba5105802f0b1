#include <sys/stat.h>

#include "app/desktidy_controller.h"
#include "app/plan_details.h"
#include "filing/archive_date.h"
#include "filing/filer.h"
#include "filing/type_table.h"

namespace {

// A working folder that is not there is refused, so that a mistyped or vanished folder
// is neither filed "successfully" nor kept as the working folder. A link to a folder is
// a folder here.
bool folderIsThere(const Path& folder, Prompter& prompter) {
    const QString why = whyNotAFolder(folder);
    if (why.isEmpty()) return true;
    prompter.criticalNotice(why);
    return false;
}

// The settings hold text, so a folder whose path is not UTF-8 cannot be stored there.
// settings names them as the user knows them: "the Setup" in the window.
std::optional<QString> storableText(const Path& folder, Prompter& prompter,
                                    const QString& settings) {
    std::optional<QString> text = folder.toText();
    if (!text)
        prompter.criticalNotice(QStringLiteral("The folder ") + folder.display() +
                                QStringLiteral(" cannot be kept in ") + settings +
                                QStringLiteral(": its name is not UTF-8 text."));
    return text;
}

bool sameFolder(const Path& a, const Path& b) {
    if (a.cleaned() == b.cleaned()) return true;
    struct stat first, second;
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Why folder cannot join the folder list, which holds listed; empty when it can. The root
// holds the whole system, and a folder listed twice (by any path) would only be filed once.
QString whyNotListable(const Path& folder, const QList<Path>& listed) {
    if (folder.cleaned() == Path("/"))
        return QStringLiteral(
            "The folder / cannot be listed: it holds the whole system, not "
            "loose items to file.");
    for (const Path& other : listed)
        if (sameFolder(folder, other))
            return QStringLiteral("The folder ") + folder.display() +
                   (other.cleaned() == folder.cleaned()
                        ? QStringLiteral(" is listed already.")
                        : QStringLiteral(" is listed already, as ") + other.display() + u'.');
    return QString();
}

// Items that stayed because their name was taken are the normal course; moves that failed
// with an error are told, with how many and the first reason, once the run has ended.
void tellFailures(const MoveCounts& counts, const Path& folder, RunContext& run) {
    if (counts.failed == 0) return;
    run.noticeAtEnd(QString::number(counts.failed) +
                        (counts.failed == 1 ? QStringLiteral(" item") : QStringLiteral(" items")) +
                        QStringLiteral(" in ") + folder.display() +
                        QStringLiteral(" could not be moved. ") + counts.firstFailure.message,
                    true);
}

}  // namespace

RunPlan DesktidyController::planFiling(const Path& folder) {
    const ArchiveDate& date = draft_.archiveDate;
    return Filer(services_.files)
        .planFilingRun(folderToWorkIn(folder), draft_,
                       ArchiveCutoff::fromTitles(date.year, date.month, date.day));
}

RunPlan DesktidyController::planUnfiling(const Path& folder) {
    return Filer(services_.files).planUnfiling(folderToWorkIn(folder), draft_.folderNames);
}

RunReport DesktidyController::fileWithin(RunContext& run, const Path& folder,
                                         const QList<QByteArray>* only) {
    // The date the run is about to save, not the one stored before it.
    const ArchiveDate& date = draft_.archiveDate;
    const auto cutoff = ArchiveCutoff::fromTitles(date.year, date.month, date.day);
    Filer filer(run.files(), run.observer());
    if (only) filer.restrictTo(*only);
    const MoveCounts counts = filer.fileWithArchiving(folderToWorkIn(folder), draft_, cutoff, [&] {
        noteRecentFolder(folder);
        // The filed folder becomes the stored working folder.
        const QString shown = draft_.workingFolder;
        if (const std::optional<QString> text = folder.toText()) draft_.workingFolder = *text;
        saveSetup();
        draft_.workingFolder = shown;
    });
    shownCategoryRow_ = Settings::categoryCount;  // a run leaves the last category shown
    tellFailures(counts, folder, run);
    return counts.report;
}

RunResult DesktidyController::fileFolder(const Path& folder) {
    if (!folderIsThere(folder, services_.prompter)) return RunResult::Failed;
    RunRequest request{RunKind::File, {folder}};
    request.question = RunQuestion{
        QStringLiteral("File these files?"),
        QStringLiteral("Desktidy will file all of the files located in ") + folder.display() +
            inWords(QStringLiteral(" into the appropriate folders.  You can always undo this by "
                                   "choosing Undesktidy... from the File menu."),
                    // Filing makes the folder the working folder, which unfile takes.
                    QStringLiteral(" into the appropriate folders.  You can always undo this "
                                   "with \u201cdesktidy undo\u201d or \u201cdesktidy "
                                   "unfile\u201d.")),
        QStringLiteral("OK"), [this, folder] { return planDetails(planFiling(folder), folder); }};
    const RunEnd end = pipeline_.run(request, [&](RunContext& run) {
        run.report() = fileWithin(run, folder);
        // Filing shows the folder it filed from now on.
        if (const std::optional<QString> text = folder.toText()) draft_.workingFolder = *text;
        return RunResult::Done;
    });
    return end.result;
}

bool DesktidyController::tellNoFoldersListed(const QString& nothingTo) {
    if (!distinctListedFolders().isEmpty()) return false;
    services_.prompter.notice(
        QStringLiteral("No folders are listed, so there is nothing to %1. ").arg(nothingTo) +
        inWords(QStringLiteral("List them in the Folders pane of the Setup."),
                QStringLiteral("List them with \u201cdesktidy folders add FOLDER...\u201d.")));
    return true;
}

RunResult DesktidyController::fileListedFolders(Starter starter) {
    // Said before anything is asked, rather than "done filing" with nothing done.
    if (starter == Starter::User && tellNoFoldersListed(QStringLiteral("file")))
        return RunResult::Done;
    RunRequest request{starter == Starter::Schedule ? RunKind::Scheduled : RunKind::FileAll, {}};
    if (starter == Starter::User)
        request.question = RunQuestion{
            QStringLiteral("File all of these files?"),
            inWords(QStringLiteral("Desktidy will file all of the files located in all of the "
                                   "directories that are listed in the Desktidy Folders Setup.  "
                                   "You can always undo this by choosing Unfile All Stashery... "
                                   "from the File menu."),
                    QStringLiteral("Desktidy will file all of the files located in all of the "
                                   "folders of the folder list (\u201cdesktidy folders\u201d).  "
                                   "You can always undo this with \u201cdesktidy undo\u201d or "
                                   "\u201cdesktidy unfile --all\u201d.")),
            QStringLiteral("OK"), [this] { return listedFoldersDetails(); }};
    const RunEnd end = pipeline_.run(request, [&](RunContext& run) {
        bool everyFolder = true;
        const QList<Path> folders = distinctListedFolders();
        const QHash<Path, QList<QByteArray>> looseAtStart = looseItemsOfNestedFolders(folders);
        for (const Path& folder : folders) {
            if (run.stopRequested()) {
                run.report().cancelled = true;
                return RunResult::Cancelled;
            }
            if (!folderIsThere(folder, services_.prompter) || !run.addFolder(folder)) {
                everyFolder = false;
                continue;
            }
            const auto nested = looseAtStart.find(folder);
            run.addPart(folder,
                        fileWithin(run, folder, nested == looseAtStart.end() ? nullptr : &*nested));
            if (run.report().cancelled) return RunResult::Cancelled;
        }
        // Each failed folder has said so; "all of the files have been filed" would be untrue.
        if (!everyFolder || run.report().failed > 0) return RunResult::Failed;
        run.notifyAtEnd(
            QStringLiteral("Done filing all of your files"),
            QStringLiteral("All of the files, in all of the folders you have listed in your "
                           "Setup, have been filed."),
            NotificationName::doneFiling);
        return RunResult::Done;
    });
    return end.result;
}

QList<Path> DesktidyController::distinctListedFolders() const {
    QList<Path> folders;
    for (const QString& listed : draft_.listedFolders)
        if (const Path folder = Path::fromText(listed); !folders.contains(folder))
            folders << folder;
    return folders;
}

QHash<Path, QList<QByteArray>> DesktidyController::looseItemsOfNestedFolders(
    const QList<Path>& folders) {
    QList<Path> places;
    for (const Path& folder : folders) places << canonicalPath(folder);
    QHash<Path, QList<QByteArray>> loose;
    for (qsizetype i = 0; i < folders.size(); ++i) {
        for (qsizetype j = 0; j < i; ++j) {
            if (!places[i].isBelow(places[j])) continue;  // links resolved in both
            QList<QByteArray>& names = loose[folders[i]];
            const NameList listed = services_.files.listNames(folderToWorkIn(folders[i]), false);
            for (std::size_t k = 0; k < listed.size(); ++k) names << listed.name(k);
            break;
        }
    }
    return loose;
}

QString DesktidyController::listedFoldersDetails() {
    QStringList details;
    for (const Path& folder : distinctListedFolders())
        if (isFolderOrLinkToOne(folder))
            details << folder.display() + QStringLiteral(":\n") +
                           planDetails(planFiling(folder), folder);
    return details.join(QStringLiteral("\n\n"));
}

RunReport DesktidyController::unfileWithin(RunContext& run, const Path& folder,
                                           const RunPlan& plan) {
    const MoveCounts counts =
        Filer(run.files(), run.observer()).execute(plan, QStringLiteral("Unfiling..."));
    tellFailures(counts, folder, run);
    return counts.report;
}

RunQuestion DesktidyController::unfilingQuestion(const Path& folder) const {
    return {QStringLiteral("Unfile these files?"),
            QStringLiteral("Desktidy will unfile all of the files located in ") + folder.display() +
                inWords(QStringLiteral(" which are inside the Desktidy folders.  You can always "
                                       "redo the filing by choosing Desktidy... from the File "
                                       "menu."),
                        QStringLiteral(" which are inside the Desktidy folders.  You can always "
                                       "undo this with \u201cdesktidy undo\u201d.")),
            QStringLiteral("OK"),
            {}};
}

RunResult DesktidyController::unfileFolder(const Path& folder) {
    if (!folderIsThere(folder, services_.prompter)) return RunResult::Failed;
    // The question lists the very plan that is then carried out, made once the folder is
    // locked.
    std::optional<RunPlan> plan;
    const auto planNow = [&]() -> const RunPlan& {
        if (!plan) plan = planUnfiling(folder);
        return *plan;
    };
    RunRequest request{RunKind::Unfile, {folder}};
    request.question = unfilingQuestion(folder);
    request.question->details = [&] { return planDetails(planNow(), folder); };
    return pipeline_
        .run(request,
             [&](RunContext& run) {
                 run.report() = unfileWithin(run, folder, planNow());
                 return RunResult::Done;
             })
        .result;
}

RunResult DesktidyController::unfileListedFolders() {
    if (tellNoFoldersListed(QStringLiteral("unfile"))) return RunResult::Done;
    RunRequest request{RunKind::UnfileAll, {}};
    request.question = RunQuestion{
        QStringLiteral("Unfile all of these files?"),
        inWords(QStringLiteral("Desktidy will unfile all of the files located in all of the "
                               "directories that are listed in the Desktidy Folders Setup.  You "
                               "can always redo the filing by choosing File All Stashery... from "
                               "the File menu."),
                QStringLiteral("Desktidy will unfile all of the files located in all of the "
                               "folders of the folder list (\u201cdesktidy folders\u201d).  You "
                               "can always undo this with \u201cdesktidy undo\u201d or "
                               "\u201cdesktidy file --all\u201d.")),
        QStringLiteral("OK"),
        {}};
    const RunEnd end = pipeline_.run(request, [&](RunContext& run) {
        bool everyFolder = true, folderFailed = false;
        for (const Path& folder : distinctListedFolders()) {
            if (run.stopRequested()) {
                run.report().cancelled = true;
                return RunResult::Cancelled;
            }
            if (!folderIsThere(folder, services_.prompter) || !run.addFolder(folder)) {
                everyFolder = false;
                folderFailed = true;
                continue;
            }
            // Each folder asks its own question; "Cancel" there skips that folder only.
            const RunPlan plan = planUnfiling(folder);
            const RunQuestion q = unfilingQuestion(folder);
            if (!run.prompter().confirmWithDetails(q.title, q.message, q.button,
                                                   [&] { return planDetails(plan, folder); })) {
                everyFolder = false;
                continue;
            }
            run.addPart(folder, unfileWithin(run, folder, plan));
            if (run.report().cancelled) return RunResult::Cancelled;
        }
        if (folderFailed || run.report().failed > 0) return RunResult::Failed;
        // Only when every folder was unfiled is "all of the files" true.
        if (everyFolder)
            run.notifyAtEnd(
                QStringLiteral("Done unfiling all of your files"),
                QStringLiteral("All of the files, in all of the folders you have listed in "
                               "your Setup, have been put back where they came from."),
                NotificationName::doneUnfiling);
        return RunResult::Done;
    });
    return end.result;
}

RunResult DesktidyController::keepWorkingFolder(const Path& folder) {
    const std::optional<QString> text =
        storableText(folder, services_.prompter,
                     inWords(QStringLiteral("the Setup"), QStringLiteral("the settings")));
    if (!text) return RunResult::Failed;
    draft_.workingFolder = *text;
    saveSetup();
    return RunResult::Done;
}

RunResult DesktidyController::addFolders(const QList<Path>& folders) {
    QStringList texts;
    QList<Path> listed = distinctListedFolders();
    for (const Path& given : folders) {
        const Path folder = given.cleaned();
        const std::optional<QString> text =
            storableText(folder, services_.prompter,
                         inWords(QStringLiteral("the Setup"), QStringLiteral("the settings")));
        if (!text) return RunResult::Failed;
        if (const QString why = whyNotListable(folder, listed); !why.isEmpty()) {
            services_.prompter.criticalNotice(why);
            return RunResult::Failed;
        }
        listed << folder;
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
