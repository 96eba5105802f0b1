#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <cerrno>

#include "platform/file_system.h"

QList<FileSystem::Entry> FileSystem::listEntries(const QString& folder, bool includeHidden) {
    QList<Entry> entries;
    for (const QString& name : listNames(folder, includeHidden))
        entries.append({name, isDirectory(joinPath(folder, name))});
    return entries;
}

FileError LocalFileSystem::readFolder(const QString& folder, QList<Entry>& entries) {
    entries.clear();
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) return FileError::fromErrno(errno, folder, QStringLiteral("read"));
    errno = 0;
    while (dirent* entry = ::readdir(dir)) {
        const char* n = entry->d_name;
        if (n[0] != '.' || (n[1] != 0 && (n[1] != '.' || n[2] != 0))) {
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN) {  // some file systems leave the kind to lstat
                struct stat st;
                isFolder = ::fstatat(::dirfd(dir), n, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                           S_ISDIR(st.st_mode);
            }
            entries.append({QFile::decodeName(n), isFolder});
        }
        errno = 0;  // readdir reports an error only through errno
    }
    const int readError = errno;
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    if (readError != 0) return FileError::fromErrno(readError, folder, QStringLiteral("read"));
    return {};
}

QList<FileSystem::Entry> LocalFileSystem::listEntries(const QString& folder, bool includeHidden) {
    QList<Entry> entries;
    LocalFileSystem::readFolder(folder, entries);  // an unreadable folder lists as empty
    if (!includeHidden) entries.removeIf([](const Entry& e) { return e.name.startsWith(u'.'); });
    return entries;
}
