#include "removal/trash_mover.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/move_across.h"

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

FileError refused(const Path& source, const QString& why) {
    return {EPERM, source, QStringLiteral("\u201c%1\u201d %2.").arg(source.display(), why)};
}

FileError notYoursAcrossFileSystems(const Path& source) {
    return refused(source, QStringLiteral("is on another file system than the Trash, and you "
                                          "may not remove it from its folder"));
}

// Why `mv` must not be given this move, or ok. mv copies and then deletes where a rename
// fails as crossing file systems, so it gets only an item on the destination's device that
// is no mount point and holds none.
FileError mvMightCross(const Path& source, const Path& destination, FileSystem& files) {
    const std::optional<FileStatus> item = files.status(source);
    const std::optional<FileStatus> folder = files.status(destination.parent());
    if (!item) return FileError::fromErrno(ENOENT, source, QStringLiteral("move"));
    if (!folder || folder->device != item->device || item->mountRoot)
        return notYoursAcrossFileSystems(source);
    if (item->isDirectory())
        if (FileError inside = checkOneFileSystem(files, source); !inside.ok()) return inside;
    return {};
}

FileError moveWithPrivileges(const Path& source, const Path& destination, TrashServices& services) {
    if (FileError crossing = mvMightCross(source, destination, services.files); !crossing.ok())
        return crossing;
    ToolRequest request;
    request.program = services.toolPaths.pkexec;
    request.arguments << services.toolPaths.mv << QStringLiteral("-n") << QStringLiteral("-T")
                      << QStringLiteral("--") << source << destination;
    const ToolResult result = services.tools.run(request);
    // mv -n leaves a taken destination alone and may still succeed; what counts is
    // where the item is now.
    if (!services.files.exists(source) && services.files.exists(destination)) return {};
    return refused(source, result.started ? QStringLiteral("could not be moved with "
                                                           "administrator rights")
                                          : QStringLiteral("needs administrator rights to be "
                                                           "moved, which could not be asked for"));
}

}  // namespace

FileError moveToTrash(const Path& source, const Path& destination, TrashServices& services) {
    const FileError error = services.files.moveNoReplace(source, destination);
    if (error.ok()) return {};
    switch (error.code) {
        case EXDEV:
            // A copy and a removal made as the user: one the user may not make is not made.
            if (!userMayRemoveFrom(source)) return notYoursAcrossFileSystems(source);
            return services.files.moveAcrossFileSystems(source, destination);
        case EACCES:
        case EPERM:
            return moveWithPrivileges(source, destination, services);
        default:
            return error;
    }
}

FileError foreseenRefusal(const Path& source, const Path& trashFolder, FileSystem& files) {
    const std::optional<FileStatus> item = files.status(source);
    std::optional<FileStatus> trash;
    for (Path folder = trashFolder; !trash && !folder.isEmpty() && folder.bytes() != "/";
         folder = folder.parent())
        trash = files.status(folder);
    if (!item || !trash || item->device == trash->device) return {};
    if (!userMayRemoveFrom(source)) return notYoursAcrossFileSystems(source);
    return refusalToMoveByCopy(files, source);
}
