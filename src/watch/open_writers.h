#pragma once

#include <QHashFunctions>
#include <QSet>
#include <cstdint>

// A file as the kernel knows it, whatever its name.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};
inline size_t qHash(const FileId& id, size_t seed = 0) {
    return qHashMulti(seed, id.device, id.inode);
}

// Those of files that some process has open for writing now: one pass over the open files
// of every process this one may look at (/proc/PID/fd, and the open flags in
// /proc/PID/fdinfo). Made once when items settle, never as a poll.
QSet<FileId> filesOpenForWriting(const QSet<FileId>& files);
