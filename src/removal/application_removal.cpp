#include "removal/application_removal.h"

#include <algorithm>
#include <cerrno>

#include "removal/application_info.h"
#include "removal/related_file_search.h"
#include "removal/removal_plan.h"
#include "removal/trash_mover.h"
#include "trash/item_label.h"
#include "trash/trash_records.h"

namespace {

// The folder that receives removed items, made with its Trash record when missing, so
// the desktop's Trash and other Trash tools list it. Empty when it cannot be had as a
// real folder.
Path deletedAppsFolder(TrashServices& services, const QDateTime& time) {
    const TrashLocation& trash = services.trash;
    FileSystem& files = services.files;
    const Path folder = trash.files() / deletedAppsFolderName;
    if (!makeTrashFolders(trash, files).ok()) return Path();

    const Path originalPath = services.home / deletedAppsFolderName;
    const Path recordPath = trash.infoFileFor(deletedAppsFolderName);
    // The record comes first: it claims the name. One left from before is kept, but only
    // a real one: anything else in its place leaves the folder without a record.
    const FileError record = writeTrashRecord(trash, deletedAppsFolderName, originalPath, time);
    if (!record.ok()) {
        const auto status = files.status(recordPath);
        if (record.code != EEXIST || !status || status->kind != FileStatus::Kind::File)
            return Path();
    }
    const auto status = files.status(folder);
    if (status && status->isDirectory()) return folder;
    if (status || !files.makeDirectory(folder).ok()) {
        // No folder of ours to record. A record that cannot be taken back stays, naming a
        // folder that is not there, which Trash tools list as nothing.
        if (record.ok()) (void)files.removeAll(recordPath);
        return Path();
    }
    return folder;
}

}  // namespace

const DelAppRow* RemovalList::rowFor(const Path& path) const {
    for (const DelAppRow& row : rows)
        if (row.itemPath() == path) return &row;
    return nullptr;
}

Path applicationsFolder(const Path& home, FileSystem& files) {
    const Path applications = home / "Applications";
    return files.isDirectory(applications) ? applications : home;
}

RemovalList buildRemovalList(const Path& appPath, const QList<Path>& searchFolders,
                             const TrashServices& services, const std::atomic_bool* cancel) {
    RemovalList list;
    const auto cancelled = [&] {
        if (!cancel || !cancel->load()) return false;
        list = RemovalList();
        list.cancelled = true;
        return true;
    };
    const AppNames app = AppNames::forApplication(appPath, cancel);
    const QList<Path> related =
        relatedFiles(app, appPath, searchFolders, services.home, services.trash.folder, cancel);
    if (cancelled()) return list;
    if (isApplication(appPath)) {
        list.rows.append(DelAppRow(appPath, itemLabelFor(appPath, services.files, cancel)));
        list.files.append(appPath);
        if (cancelled()) return list;
    }
    for (const Path& path : related) {
        const auto status = services.files.status(path);
        const bool isFolder = status && status->isDirectory();
        list.rows.append(DelAppRow(path, itemLabelFor(path, services.files, cancel),
                                   !app.ownsName(path.fileName(), isFolder)));
        if (cancelled()) return list;
        if (status) (isFolder ? list.folders : list.files).append(path);
    }
    return list;
}

RunPlan planTrashMoves(const RemovalList& list, const TrashServices& services,
                       const QDateTime& time) {
    FileSystem& files = services.files;
    RunPlan plan;
    plan.kind = RunKind::RemoveApp;
    QList<Path> sources;
    for (const Path& path : list.folders + list.files) {
        const DelAppRow* row = list.rowFor(path);
        if (!row || !row->isChecked() || !files.exists(path)) continue;
        const bool goesWithFolder = std::any_of(sources.begin(), sources.end(),
                                                [&](const Path& s) { return path.isBelow(s); });
        if (!goesWithFolder) sources.append(path);
    }
    if (sources.isEmpty()) return plan;

    const Path folder = services.trash.files() / deletedAppsFolderName;
    const Path record = services.trash.infoFileFor(deletedAppsFolderName);
    Refusal refusal = Refusal::None;
    QString why;
    for (const Path& path :
         {services.trash.folder, services.trash.files(), services.trash.info(), folder}) {
        const auto status = files.status(path);
        if (status && !status->isDirectory()) {
            refusal = Refusal::NotAFolder;
            why = path.display() + QStringLiteral(" is not a folder.");
            break;
        }
    }
    if (const auto status = files.status(record);
        refusal == Refusal::None && status && status->kind != FileStatus::Kind::File) {
        refusal = Refusal::NotAllowed;
        why = record.display() + QStringLiteral(" is in the way of the Trash's record.");
    }
    if (refusal == Refusal::None && !files.exists(folder)) plan.makeFirst.append(folder);
    for (const PlannedMove& move : planMoves(sources, folder, time, files)) {
        PlannedStep step{move.source, move.destination, refusal, why};
        if (refusal == Refusal::None)
            if (const FileError refused = foreseenRefusal(move.source, folder, files);
                !refused.ok()) {
                step.refusal = Refusal::NotAllowed;
                step.why = refused.message;
            }
        plan.steps.push_back(std::move(step));
    }
    return plan;
}

RunResult moveRemovalToTrash(TrashServices& services, const RemovalList& list,
                             RunObserver& observer, RemovalOutcome& result) {
    const QDateTime time = services.now();
    const RunPlan plan = planTrashMoves(list, services, time);
    RunReport& outcome = result.report;
    outcome = {};
    outcome.countPlan(plan);
    observer.passBegins(QStringLiteral("Moving to Trash..."), outcome.total, false);

    // Without its folder in the Trash no item can go.
    const Path folder = services.trash.files() / deletedAppsFolderName;
    const bool folderReady =
        plan.stepsToMake() == 0 || !deletedAppsFolder(services, time).isEmpty();
    QStringList stayed;  // each item with why it stayed
    for (const PlannedStep& step : plan.steps) {
        if (observer.stopRequested()) {
            outcome.cancelled = true;
            break;
        }
        QString why = step.why;
        if (step.refusal == Refusal::None) {
            observer.step(outcome.done + outcome.failed + 1, outcome.total,
                          StepItem::path(step.from));
            const FileError error =
                folderReady ? moveToTrash(step.from, step.to, services)
                            : FileError{EIO, folder,
                                        QStringLiteral("\u201c%1\u201d could not be made in the "
                                                       "Trash with its record.")
                                            .arg(folder.display())};
            if (error.ok()) {
                ++outcome.done;
                continue;
            }
            ++outcome.failed;
            why = error.message;
        }
        stayed << step.from.display() + QStringLiteral(": ") + why;
    }
    outcome.folders = outcome.done > 0 ? 1 : 0;
    observer.passEnds();
    if (outcome.cancelled) return RunResult::Cancelled;

    if (plan.steps.empty()) {
        result.closingNotice = QStringLiteral("No items were checked to be put in the Trash.");
        return RunResult::Done;
    }
    if (stayed.isEmpty()) {
        result.closingNotice =
            QStringLiteral("The application and its related files have been put in the Trash.");
        return RunResult::Done;
    }
    outcome.details = stayed;
    result.closingNotice =
        QStringLiteral("These items could not be put in the Trash:\n") + stayed.join(u'\n');
    return RunResult::Failed;
}
