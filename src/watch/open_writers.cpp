#include "watch/open_writers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <cstdlib>
#include <cstring>

namespace {

bool isNumber(const char* name) {
    if (!*name) return false;
    for (; *name; ++name)
        if (*name < '0' || *name > '9') return false;
    return true;
}

// The open flags of descriptor fd of the process whose fdinfo folder is open at fdinfo.
bool openForWriting(int fdinfo, const char* fd) {
    const int file = ::openat(fdinfo, fd, O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    char text[512];
    const ssize_t length = ::read(file, text, sizeof text - 1);
    ::close(file);
    if (length <= 0) return false;
    text[length] = '\0';
    const char* flags = std::strstr(text, "flags:");
    if (!flags) return false;
    const long value = std::strtol(flags + 6, nullptr, 8);
    return (value & O_ACCMODE) != O_RDONLY;
}

}  // namespace

QSet<FileId> filesOpenForWriting(const QSet<FileId>& files) {
    QSet<FileId> writing;
    if (files.isEmpty()) return writing;
    DIR* processes = ::opendir("/proc");
    if (!processes) return writing;
    while (const dirent* process = ::readdir(processes)) {
        if (!isNumber(process->d_name)) continue;
        const QByteArray base = QByteArray("/proc/") + process->d_name;
        const int fds = ::open((base + "/fd").constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fds < 0) continue;  // gone, or another user's
        DIR* entries = ::fdopendir(fds);
        if (!entries) {
            ::close(fds);
            continue;
        }
        int fdinfo = -1;
        while (const dirent* entry = ::readdir(entries)) {
            if (!isNumber(entry->d_name)) continue;
            // The link leads to the open file itself, whatever its name is now.
            struct stat target;
            if (::fstatat(fds, entry->d_name, &target, 0) != 0 || !S_ISREG(target.st_mode))
                continue;
            const FileId id{std::uint64_t(target.st_dev), std::uint64_t(target.st_ino)};
            if (!files.contains(id) || writing.contains(id)) continue;
            if (fdinfo < 0)
                fdinfo = ::open((base + "/fdinfo").constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fdinfo >= 0 && openForWriting(fdinfo, entry->d_name)) writing.insert(id);
        }
        if (fdinfo >= 0) ::close(fdinfo);
        ::closedir(entries);
    }
    ::closedir(processes);
    return writing;
}
