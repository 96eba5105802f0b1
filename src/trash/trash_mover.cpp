#include "trash/trash_mover.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace {

// Whether the user may take the item out of its folder: write access to the folder
// and, in a folder with the sticky bit, ownership of the item or the folder.
bool userMayRemoveFrom(const QString& source) {
    const QByteArray folder = QFile::encodeName(deletingLastPathComponent(source));
    if (::access(folder.constData(), W_OK | X_OK) != 0) return false;
    struct stat folderStatus, itemStatus;
    if (::stat(folder.constData(), &folderStatus) != 0) return false;
    if (!(folderStatus.st_mode & S_ISVTX)) return true;
    const uid_t user = ::geteuid();
    if (user == 0 || folderStatus.st_uid == user) return true;
    return ::lstat(QFile::encodeName(source).constData(), &itemStatus) == 0 &&
           itemStatus.st_uid == user;
}

bool runMove(const QString& program, const QStringList& leading, const QString& source,
             const QString& destination, TrashServices& services) {
    ToolRequest request;
    request.program = program;
    request.arguments = leading;
    request.arguments << QStringLiteral("-n") << QStringLiteral("-T") << QStringLiteral("--")
                      << source << destination;
    services.tools.run(request);
    // mv -n leaves a taken destination alone and may still succeed; what counts is
    // where the item is now.
    return !services.files.exists(source) && services.files.exists(destination);
}

bool moveAsUser(const QString& source, const QString& destination, TrashServices& services) {
    return runMove(services.toolPaths.mv, {}, source, destination, services);
}

bool moveWithPrivileges(const QString& source, const QString& destination,
                        TrashServices& services) {
    return runMove(services.toolPaths.pkexec, {services.toolPaths.mv}, source, destination,
                   services);
}

}  // namespace

bool moveToTrash(const QString& source, const QString& destination, TrashServices& services) {
    const FileError error = services.files.moveNoReplace(source, destination);
    if (!error) return true;
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
