#pragma once

#include <vector>

#include "platform/prompter.h"
#include "platform/run_result.h"
#include "runs/folder_lock.h"
#include "runs/journaling_file_system.h"

// One run of a command, from its start to its end, as one record in the history and with
// its folders locked against a second run. A scope opened inside another joins the run
// that is open (its folders are noted and locked too), so that "file all" and the archive
// pass inside a filing stay one run. Over a file system that does not journal (a test's
// fake) a scope does nothing.
class RunScope {
  public:
    RunScope(FileSystem& files, Prompter& prompter, const QByteArray& kind, const Path& folder,
             QList<QPair<QByteArray, QByteArray>> options = {})
        : RunScope(files, prompter, kind, QList<Path>{folder}, std::move(options)) {}
    // A run that changes several folders (a pack's destinations, an undo's folders): the
    // first is the one its record names, each is locked, and one busy refuses the run. A
    // folder that does not exist yet is not locked.
    RunScope(FileSystem& files, Prompter& prompter, const QByteArray& kind,
             const QList<Path>& folders, QList<QPair<QByteArray, QByteArray>> options = {});
    ~RunScope();
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

    // False when another run is changing the folder; the user has been told, and the
    // command should end with RunResult::Failed.
    bool started() const { return !refused_; }
    // Passes result through; a cancel ends the record as stopped rather than done.
    RunResult finish(RunResult result);

  private:
    void releaseLocks();

    JournalingFileSystem* journal_ = nullptr;
    bool opened_ = false;
    bool refused_ = false;
    bool stopped_ = false;
    std::vector<FolderLock> locks_;
    QList<QByteArray> lockedKeys_;
};
