#pragma once

#include <QTextStream>
#include <optional>

#include "app/run_arrivals.h"
#include "platform/dbus_notifier.h"
#include "runs/journaling_file_system.h"
#include "watch/folder_watcher.h"

class DesktidyController;
struct WatchBatchReport;

// `desktidy watch` while it runs: the folder watcher over the folders to watch, each
// settled batch filed as one run (watch_batch.h), its result line on out and a desktop
// notification whose "Undo" undoes that run. Folders named on the command line are
// watched as they are; without any, the folder list of the Setup is watched and followed
// as the settings file changes, and so are the settle time and the category folders.
class WatchSession : public BatchFiler {
  public:
    struct Options {
        std::optional<double> settleSeconds;  // --settle; else the setting
        bool fileExisting = false;            // --existing
        QList<Path> folders;                  // none: the folder list of the Setup
    };

    WatchSession(DesktidyController& controller, QTextStream& out, QTextStream& err,
                 Options options);

    // Watches until SIGINT or SIGTERM, which end the batch in hand and its record.
    // Returns the exit status: 0, or 1 when nothing can be watched.
    int run();

    Outcome fileBatch(const Path& folder, const QList<QByteArray>& names) override;

  private:
    // The folders, settle time and category folders from the settings.
    void applySettings();
    void report(const Path& folder, const WatchBatchReport& batch);
    void undo(int run);
    void warn(const QString& message);

    DesktidyController& controller_;
    QTextStream& out_;
    QTextStream& err_;
    Options options_;
    JournalingFileSystem& files_;
    FolderWatcher watcher_;
    RunArrivals arrivals_;
    DBusNotifier notifier_;
    bool toldNoFolders_ = false;
    QString lastRefusal_;
};
