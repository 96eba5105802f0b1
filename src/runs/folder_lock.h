#pragma once

#include "platform/file_system.h"

// Keeps a second run off a folder that a run is changing: an flock on a lock file named
// after the folder's device and inode, in the locks folder. The kernel lets go of it when
// the process ends, however it ends, so a crash leaves no stale lock.
class FolderLock {
  public:
    FolderLock() = default;
    ~FolderLock() { release(); }
    FolderLock(FolderLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FolderLock& operator=(FolderLock&& other) noexcept;

    enum class Outcome { Held, Busy, Missing, Unavailable };
    // Takes the lock without waiting. Busy: another run holds it. Missing: the folder is not
    // there (yet), so there is nothing to lock. Unavailable: no lock file can be made or
    // locked; error() says why.
    Outcome acquire(const Path& lockFolder, const Path& folder);
    int error() const { return error_; }
    void release();
    bool held() const { return fd_ >= 0; }

    // What names the folder's lock: its device and inode, however the path spells it.
    // Empty when the folder is not there.
    static QByteArray keyOf(const Path& folder);

  private:
    int fd_ = -1;
    int error_ = 0;
};
