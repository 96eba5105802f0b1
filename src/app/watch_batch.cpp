#include "app/watch_batch.h"

#include "filing/archive_date.h"
#include "filing/filer.h"
#include "runs/run_pipeline.h"
#include "settings/settings.h"

namespace {

// A batch asks nothing; what the pipeline would say (a refusal of the folder's lock) is
// kept for the caller.
class QuietPrompter : public Prompter {
  public:
    QString critical;
    bool confirm(const QString&, const QString&, const QString&) override { return true; }
    void notice(const QString&) override {}
    void criticalNotice(const QString& message) override { critical = message; }
    FileErrorChoice fileError(const FileError&) override { return FileErrorChoice::Continue; }
};

class NoNotifier : public Notifier {
  public:
    void notify(const QString&, const QString&, const QString&) override {}
};

// Passes the run's progress and the stop on to the watch's observer.
class BatchFrontEnd : public RunFrontEnd {
  public:
    explicit BatchFrontEnd(RunObserver& observer) : observer_(observer) {}
    void passBegins(const QString& title, qsizetype total, bool showsItems) override {
        observer_.passBegins(title, total, showsItems);
    }
    void step(qsizetype done, qsizetype total, const StepItem& item) override {
        observer_.step(done, total, item);
    }
    void passEnds() override { observer_.passEnds(); }
    bool stopRequested() const override { return observer_.stopRequested(); }

  private:
    RunObserver& observer_;
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
                                    RunObserver& observer) {
    QuietPrompter quiet;
    NoNotifier none;
    BatchFrontEnd frontEnd(observer);
    RunPipeline pipeline(files, quiet, none);
    pipeline.setFrontEnd(&frontEnd);
    WatchBatchReport result;
    const RunEnd end = pipeline.run({RunKind::Watch, {folder}}, [&](RunContext& run) {
        Filer filer(run.files(), run.observer());
        filer.restrictTo(names);
        const ArchiveDate& date = settings.archiveDate;
        // Archiving first, as `file` does.
        MoveCounts counts = filer.fileWithArchiving(
            folder, settings, ArchiveCutoff::fromTitles(date.year, date.month, date.day));
        counts.report.kind = RunKind::Watch;
        run.report() = counts.report;
        result.receivingFolders = inside(folder, counts.folders);
        if (counts.failed > 0)
            result.failure =
                QStringLiteral("%1 could not be moved. %2")
                    .arg(counts.failed == 1 ? QStringLiteral("1 item")
                                            : QStringLiteral("%1 items").arg(counts.failed),
                         counts.firstFailure.message);
        return counts.report.cancelled ? RunResult::Cancelled : RunResult::Done;
    });
    if (!end.started) {
        result.folderBusy = true;
        result.refusal = quiet.critical;
        return result;
    }
    result.runNumber = end.runNumber;
    result.report = end.report;
    return result;
}
