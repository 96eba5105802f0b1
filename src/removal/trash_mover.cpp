#include "removal/trash_mover.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Whether the user may take the item out of its folder: write access to the folder
// and, in a folder with the sticky bit, ownership of the item or the folder.
bool userMayRemoveFrom(const Path& source) {
    const Path folder = source.parent();
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return false;
    struct stat folderStatus, itemStatus;
    if (::stat(folder.c_str(), &folderStatus) != 0) return false;
    if (!(folderStatus.st_mode & S_ISVTX)) return true;
    const uid_t user = ::geteuid();
    if (user == 0 || folderStatus.st_uid == user) return true;
    return ::lstat(source.c_str(), &itemStatus) == 0 && itemStatus.st_uid == user;
}

bool runMove(const QString& program, const QStringList& leading, const Path& source,
             const Path& destination, TrashServices& services) {
    ToolRequest request;
    request.program = program;
    request.arguments = leading;
    request.arguments << QStringLiteral("-n") << QStringLiteral("-T") << QStringLiteral("--")
                      << source << destination;
    (void)services.tools.run(request);
    // mv -n leaves a taken destination alone and may still succeed; what counts is
    // where the item is now.
    return !services.files.exists(source) && services.files.exists(destination);
}

bool moveAsUser(const Path& source, const Path& destination, TrashServices& services) {
    return runMove(services.toolPaths.mv, {}, source, destination, services);
}

bool moveWithPrivileges(const Path& source, const Path& destination, TrashServices& services) {
    return runMove(services.toolPaths.pkexec, {services.toolPaths.mv}, source, destination,
                   services);
}

}  // namespace

bool moveToTrash(const Path& source, const Path& destination, TrashServices& services) {
    const FileError error = services.files.moveNoReplace(source, destination);
    if (error.ok()) return true;
    switch (error.code) {
        case EXDEV:
            if (userMayRemoveFrom(source)) return moveAsUser(source, destination, services);
            return moveWithPrivileges(source, destination, services);
        case EACCES:
        case EPERM:
            return moveWithPrivileges(source, destination, services);
        default:
            return false;
    }
}
