#include "app/watch_session.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSet>

#include "app/desktidy_controller.h"
#include "app/watch_batch.h"
#include "filing/filer.h"
#include "platform/file_system.h"
#include "watch/stop_signals.h"

namespace {

// "Images", "Images and Words", "Audio, Images and Words".
QString joinedNames(const QList<QByteArray>& names) {
    QStringList shown;
    for (const QByteArray& name : names) shown << displayName(name);
    if (shown.size() <= 1) return shown.value(0);
    const QString last = shown.takeLast();
    return shown.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// The watch's progress is nobody's to see; its stop is SIGINT's and SIGTERM's.
class StopObserver : public RunObserver {
  public:
    bool stopRequested() const override { return StopSignals::flag()->load(); }
};

}  // namespace

WatchSession::WatchSession(DesktidyController& controller, QTextStream& out, QTextStream& err,
                           Options options)
    : controller_(controller),
      out_(out),
      err_(err),
      options_(std::move(options)),
      files_(controller.services().files),
      watcher_(*this, [this](const QString& message) { warn(message); }),
      arrivals_(controller.runHistory()) {
    watcher_.setFileExisting(options_.fileExisting);
}

void WatchSession::warn(const QString& message) {
    err_ << "desktidy watch: " << message << Qt::endl;
}

int WatchSession::run() {
    if (!watcher_.ready()) return 1;
    QEventLoop loop;
    const StopSignals stop([&loop] { loop.quit(); });
    applySettings();
    // A change saved in the window, or by another command, is taken up at once. The folder
    // the file goes in is made now if need be (a start writes no settings), so that the
    // watch is there for the first save.
    const QString settingsFile = controller_.store().filePath();
    QDir().mkpath(QFileInfo(settingsFile).absolutePath());
    watcher_.watchFile(Path::fromText(settingsFile), [this] {
        controller_.reloadSettings();
        applySettings();
    });
    loop.exec();
    return 0;
}

void WatchSession::applySettings() {
    const Settings& settings = controller_.draft();
    watcher_.setSettleTime(qint64(options_.settleSeconds.value_or(settings.watchSettle) * 1000));
    const QList<QByteArray> categoryFolders = folderNameBytes(settings.folderNames);
    watcher_.setLeftAlone(
        [categoryFolders](QByteArrayView name) { return categoryFolders.contains(name); });
    if (!options_.folders.isEmpty()) {
        watcher_.setFolders(options_.folders);
        return;
    }
    const QList<Path> listed = controller_.distinctListedFolders();
    if (listed.isEmpty() && !toldNoFolders_)
        warn(
            QStringLiteral("the folder list is empty; folders added to it are watched as they "
                           "are added (desktidy folders add FOLDER)."));
    toldNoFolders_ = listed.isEmpty();
    watcher_.setFolders(listed);
}

BatchFiler::Outcome WatchSession::fileBatch(const Path& folder, const QList<QByteArray>& names) {
    const std::atomic_bool* stop = StopSignals::flag();
    if (stop->load()) return Outcome::Stopped;
    // What a run of ours just put there (an undo, an unfiling) stays where it was put.
    arrivals_.refresh();
    QList<QByteArray> toFile;
    for (const QByteArray& name : names)
        if (!arrivals_.cameByRun(folder / name, files_.inner())) toFile << name;
    if (toFile.isEmpty()) return Outcome::Done;
    StopObserver observer;
    const WatchBatchReport batch =
        carryOutWatchBatch(files_, controller_.draft(), folder, toFile, observer);
    if (batch.folderBusy) {
        // Another run holding the folder is the watcher's to tell; any other reason is told
        // here, once until a batch goes through.
        if (!batch.refusal.startsWith(QStringLiteral("Another Desktidy run")) &&
            batch.refusal != lastRefusal_)
            warn(batch.refusal);
        lastRefusal_ = batch.refusal;
        return Outcome::FolderBusy;
    }
    lastRefusal_.clear();
    report(folder, batch);
    return stop->load() ? Outcome::Stopped : Outcome::Done;
}

void WatchSession::report(const Path& folder, const WatchBatchReport& batch) {
    out_ << folder.display() << ": " << resultLine(batch.report);
    if (batch.runNumber > 0) out_ << " (run " << batch.runNumber << ')';
    out_ << Qt::endl;
    if (!batch.failure.isEmpty()) warn(folder.display() + QStringLiteral(": ") + batch.failure);
    const int moved = batch.report.done;
    if (moved == 0 || batch.runNumber == 0) return;
    const QString title =
        QStringLiteral("Filed %1 into %2")
            .arg(moved == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(moved),
                 joinedNames(batch.receivingFolders));
    const int run = batch.runNumber;
    notifier_.notifyWithAction(title, folder.display(), NotificationName::filedNewItems,
                               QStringLiteral("Undo"), [this, run] { undo(run); });
}

void WatchSession::undo(int run) {
    const std::optional<RunRecord> record = controller_.runHistory().read(run);
    if (!record) {
        warn(QStringLiteral("run %1 is no longer in the history; nothing was undone.").arg(run));
        return;
    }
    // The notification's button was the question; the undo tells on standard error what
    // stayed where it was.
    (void)controller_.undoRun(*record, Confirmation::DontAsk);
}
