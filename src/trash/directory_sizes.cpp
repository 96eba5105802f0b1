#include "trash/directory_sizes.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSet>
#include <cerrno>
#include <limits>

#include "platform/file_system.h"

namespace {

// A cache of a few lines per folder; one far larger is left alone.
constexpr qsizetype cacheLimit = 16 * 1024 * 1024;

// The new cache is written beside the old one under this name and the writer's process id.
const QByteArray temporaryPrefix = ".directorysizes.desktidy-";

// Removes the temporaries that writers killed before their end left, known by a process
// that is no more; a running writer's is its own.
void removeLeftTemporaries(LocalFileSystem& files, const Path& trashFolder) {
    const NameList names = files.listNames(trashFolder, true);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QByteArrayView name = names.at(i);
        if (!name.startsWith(temporaryPrefix) || names.isDirectory(i)) continue;
        bool isNumber = false;
        const qint64 pid = name.sliced(temporaryPrefix.size()).toLongLong(&isNumber);
        if (isNumber && pid > 0 && pid <= std::numeric_limits<pid_t>::max() &&
            ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            (void)files.removeFile(trashFolder / name);
    }
}

}  // namespace

std::optional<QByteArray> withoutDirectorySizes(const QByteArray& cache,
                                                const QList<QByteArray>& names) {
    const QSet<QByteArray> gone(names.cbegin(), names.cend());
    QByteArray kept;
    bool dropped = false;
    for (const QByteArray& line : cache.split('\n')) {
        if (line.isEmpty()) continue;
        // SIZE MTIME NAME: the name is the rest of the line after the second blank.
        const qsizetype first = line.indexOf(' ');
        const qsizetype second = first < 0 ? -1 : line.indexOf(' ', first + 1);
        if (second >= 0 && gone.contains(QByteArray::fromPercentEncoding(line.mid(second + 1)))) {
            dropped = true;
            continue;
        }
        kept += line + '\n';
    }
    if (!dropped) return std::nullopt;
    return kept;
}

bool forgetDirectorySizes(const TrashLocation& trash, const QList<QByteArray>& names) {
    LocalFileSystem files;
    const Path cachePath = trash.folder / "directorysizes";
    QByteArray cache;
    if (const FileError read = files.readSmallFile(cachePath, cache, cacheLimit); !read.ok())
        return read.code == ENOENT;  // no cache: nothing to forget
    const std::optional<QByteArray> kept = withoutDirectorySizes(cache, names);
    if (!kept) return true;
    removeLeftTemporaries(files, trash.folder);
    const Path fresh = trash.folder / (temporaryPrefix + QByteArray::number(::getpid()));
    (void)files.removeFile(fresh);  // one a killed run of this process id left
    if (!files.writeNewFile(fresh, *kept).ok()) return false;
    const bool swapped = files.exchange(fresh, cachePath).ok();
    // After the swap the old cache has the temporary name; else the new one has.
    (void)files.removeFile(fresh);
    return swapped;
}
