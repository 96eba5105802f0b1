#include "app/watch_batch.h"

#include <QSet>

#include "filing/archive_date.h"
#include "filing/filer.h"
#include "runs/run_scope.h"
#include "settings/settings.h"

namespace {

// A batch asks nothing and shows no progress panel; a refusal of the folder's lock is
// the one thing it says, and it is kept for the caller.
class QuietPrompter : public Prompter {
  public:
    QString critical;
    bool confirm(const QString&, const QString&, const QString&) override { return true; }
    void notice(const QString&) override {}
    void criticalNotice(const QString& message) override { critical = message; }
    FileErrorChoice fileError(const FileError&) override { return FileErrorChoice::Continue; }
    void openProgress(const QString&) override {}
    void setProgressItemVisible(bool) override {}
    void showProgressItem(const QString&) override {}
    void closeProgress() override {}
};

// The folders inside folder, as paths from it, in byte order.
QList<QByteArray> inside(const Path& folder, const QSet<Path>& folders) {
    const QByteArray prefix = (folder / "").bytes();
    QList<QByteArray> names;
    for (const Path& path : folders)
        if (path.bytes().startsWith(prefix)) names << path.bytes().mid(prefix.size());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

WatchBatchReport carryOutWatchBatch(JournalingFileSystem& files, const Settings& settings,
                                    const Path& folder, const QList<QByteArray>& names,
                                    const RunProgress& progress) {
    WatchBatchReport result;
    QuietPrompter quiet;
    // The record notes what each pass means to move, so that a stopped batch tells how far
    // it went.
    RunProgress journaled = progress;
    journaled.onStep = [&files, shown = progress.onStep](qsizetype done, qsizetype total,
                                                         const QString& item) {
        if (done == 1) files.notePlanned(total);
        if (shown) shown(done, total, item);
    };
    {
        RunScope run(files, quiet, "watch", folder);
        if (!run.started()) {
            result.folderBusy = true;
            return result;
        }
        Filer filer(files, quiet, journaled);
        filer.restrictTo(names);
        const ArchiveDate& date = settings.archiveDate;
        const ArchiveCutoff cutoff = ArchiveCutoff::fromTitles(date.year, date.month, date.day);
        MoveCounts counts;
        // Archiving first, as `file` does; a batch with nothing old makes no archive folder.
        if (!cutoff.isOff())
            if (const RunPlan archive = filer.planArchive(folder, settings, cutoff);
                archive.stepsToMake() > 0)
                counts = filer.execute(archive, QStringLiteral("Archiving..."));
        if (!counts.report.cancelled)
            counts.add(
                filer.execute(filer.planFiling(folder, settings), QStringLiteral("Filing...")));
        counts.report.kind = RunPlan::Kind::File;
        result.report = counts.report;
        result.receivingFolders = inside(folder, counts.folders);
        if (counts.failed > 0)
            result.failure =
                QStringLiteral("%1 could not be moved. %2")
                    .arg(counts.failed == 1 ? QStringLiteral("1 item")
                                            : QStringLiteral("%1 items").arg(counts.failed),
                         counts.firstFailure.message);
        (void)run.finish(counts.report.cancelled ? RunResult::Cancelled : RunResult::Done);
    }
    result.runNumber = files.lastRunNumber();
    return result;
}
