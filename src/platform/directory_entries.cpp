#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/file_system.h"

NameList FileSystem::listNames(const Path& folder, bool includeHidden) {
    NameList names;
    (void)readFolder(folder, names);  // an unreadable folder lists as empty
    if (!includeHidden) names.retain([](QByteArrayView name, bool) { return name[0] != '.'; });
    return names;
}

FileError LocalFileSystem::readFolder(const Path& folder, NameList& names) {
    names = NameList();
    DIR* dir = ::opendir(folder.c_str());
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
            names.append(QByteArrayView(n, qsizetype(std::strlen(n))), isFolder, entry->d_ino);
        }
        errno = 0;  // readdir reports an error only through errno
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0) {
        names = NameList();
        return FileError::fromErrno(readError, folder, QStringLiteral("read"));
    }
    names.sortByBytes();
    return {};
}
