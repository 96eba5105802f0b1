#include "filing/filer.h"

#include <array>
#include <cerrno>

#include "filing/type_table.h"
#include "platform/file_system.h"
#include "platform/prompter.h"
#include "settings/settings.h"

bool isPlainFolderName(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(QChar(0));
}

void MoveCounts::add(const MoveCounts& other) {
    moved += other.moved;
    stayed += other.stayed;
    if (other.failed > 0 && failed == 0) firstFailure = other.firstFailure;
    failed += other.failed;
}

void MoveCounts::count(const FileError& error, int items) {
    if (!error) {
        moved += items;
    } else if (error.code == EEXIST) {
        stayed += items;
    } else {
        if (failed == 0) firstFailure = error;
        failed += items;
    }
}

Filer::FolderState Filer::ensureFolder(const QString& path, FileError& error) {
    // A file or a link in the folder's place (dangling or not) is not used: moves into
    // it would fail, or land outside the folder being filed.
    if (const auto st = files_.status(path))
        return st->isDirectory() ? FolderState::Present : FolderState::Blocked;
    error = files_.makeDirectory(path);
    return error ? FolderState::Failed : FolderState::Made;
}

FileError Filer::moveItem(const QString& name, const QString& from, const QString& toFolder) {
    prompter_.showProgressItem(name);
    return files_.moveNoReplace(joinPath(from, name), joinPath(toFolder, name));
}

template <typename Filter>
MoveCounts Filer::moveLooseItems(const QString& folder, const QString& destinationBase,
                                 const Settings& settings, Filter keep,
                                 const FileError& baseFailure) {
    // One listing and one type lookup per item; the result is that of trying the
    // categories in order, each with its entries in order.
    const TypeTable table(settings);
    const QStringList& folderNames = settings.folderNames;
    std::array<QStringList, Settings::categoryCount + 1> byCategory;
    for (const QString& name : files_.listNames(folder, false)) {
        const int k = table.categoryOf(name);
        // The program's own folders are never filed into one another.
        if (k == noCategory || folderNames.contains(name)) continue;
        if (!keep(joinPath(folder, name))) continue;
        byCategory[k].append(name);
    }

    MoveCounts counts;
    for (int k = 1; k <= Settings::categoryCount; ++k) {
        const QStringList& names = byCategory[k];
        if (names.isEmpty()) continue;  // a category that receives nothing gets no folder
        if (baseFailure) {
            counts.count(baseFailure, names.size());
            continue;
        }
        const QString categoryName = folderNames.value(k);
        const QString destination = joinPath(destinationBase, categoryName);
        FileError error;
        const FolderState state = isPlainFolderName(categoryName) ? ensureFolder(destination, error)
                                                                  : FolderState::Blocked;
        if (state == FolderState::Blocked) {
            counts.stayed += names.size();
            continue;
        }
        if (state == FolderState::Failed) {
            counts.count(error, names.size());
            continue;
        }
        const int movedBefore = counts.moved;
        for (const QString& name : names) counts.count(moveItem(name, folder, destination));
        // A folder made for items that all stayed behind does not remain.
        if (state == FolderState::Made && counts.moved == movedBefore)
            files_.removeEmptyDirectory(destination);
    }
    return counts;
}

MoveCounts Filer::archiveFolder(const QString& folder, const Settings& settings,
                                const ArchiveCutoff& cutoff) {
    if (cutoff.isOff()) return {};
    const QString archiveName = settings.folderNames.value(archiveIndex);
    const QString archive = joinPath(folder, archiveName);
    FileError archiveFailure;
    const FolderState state = isPlainFolderName(archiveName) ? ensureFolder(archive, archiveFailure)
                                                             : FolderState::Blocked;

    prompter_.setProgressItemVisible(true);
    prompter_.openProgress(QStringLiteral("Archiving..."));
    MoveCounts counts;
    if (state != FolderState::Blocked && cutoff.state == ArchiveCutoff::State::Valid) {
        counts = moveLooseItems(
            folder, archive, settings,
            [&](const QString& path) {
                const auto st = files_.status(path);
                return st && cutoff.includes(*st);
            },
            archiveFailure);
    }
    prompter_.closeProgress();
    return counts;
}

MoveCounts Filer::fileFolder(const QString& folder, const Settings& settings) {
    prompter_.setProgressItemVisible(true);
    prompter_.openProgress(QStringLiteral("Filing..."));
    const MoveCounts counts =
        moveLooseItems(folder, folder, settings, [](const QString&) { return true; });

    // An archive folder that archiving made but left empty does not remain.
    const QString archiveName = settings.folderNames.value(archiveIndex);
    const QString archive = joinPath(folder, archiveName);
    if (isPlainFolderName(archiveName) && files_.isDirectory(archive))
        files_.removeEmptyDirectory(archive);
    prompter_.closeProgress();
    return counts;
}

void Filer::bringBack(const QString& source, const QString& folder, MoveCounts& counts) {
    // Only a real folder: a link in a category folder's place is left alone, so that
    // unfiling never empties a folder elsewhere.
    if (!files_.isDirectory(source)) return;
    for (const QString& name : files_.listNames(source, true))
        counts.count(moveItem(name, source, folder));
    files_.removeEmptyDirectory(source);  // fails, harmlessly, when something stayed
}

MoveCounts Filer::unfileFolder(const QString& folder, const QStringList& folderNames) {
    prompter_.openProgress(QStringLiteral("Unfiling..."));
    MoveCounts counts;
    // Archived items return to the top level, not to their category folders.
    const QString archiveName = folderNames.value(archiveIndex);
    const QString archive = joinPath(folder, archiveName);
    if (isPlainFolderName(archiveName) && files_.isDirectory(archive)) {
        for (int k = 1; k <= Settings::categoryCount; ++k) {
            const QString name = folderNames.value(k);
            if (isPlainFolderName(name)) bringBack(joinPath(archive, name), folder, counts);
        }
        files_.removeEmptyDirectory(archive);
    }
    for (int k = 1; k <= Settings::categoryCount; ++k) {
        const QString name = folderNames.value(k);
        if (isPlainFolderName(name)) bringBack(joinPath(folder, name), folder, counts);
    }
    prompter_.closeProgress();
    return counts;
}
