#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <algorithm>

#include "platform/file_system.h"

QList<FileSystem::Entry> FileSystem::listEntries(const QString& folder, bool includeHidden) {
    QList<Entry> entries;
    for (const QString& name : listNames(folder, includeHidden))
        entries.append({name, isDirectory(joinPath(folder, name))});
    return entries;
}

QList<FileSystem::Entry> LocalFileSystem::listEntries(const QString& folder, bool includeHidden) {
    QList<Entry> entries;
    const QByteArray path = QFile::encodeName(folder);
    DIR* dir = ::opendir(path.constData());
    if (!dir) return entries;
    while (dirent* entry = ::readdir(dir)) {
        const char* n = entry->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
        if (n[0] == '.' && !includeHidden) continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {  // some file systems leave the kind to lstat
            struct stat st;
            isFolder =
                ::fstatat(::dirfd(dir), n, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
        }
        entries.append({QFile::decodeName(n), isFolder});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}
