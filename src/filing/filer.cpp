#include "filing/filer.h"

#include <array>
#include <cerrno>
#include <vector>

#include "filing/type_table.h"
#include "platform/file_system.h"
#include "platform/prompter.h"
#include "settings/settings.h"

bool isPlainFolderName(QByteArrayView name) {
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\0');
}

QList<QByteArray> folderNameBytes(const QStringList& folderNames) {
    QList<QByteArray> names;
    names.reserve(folderNames.size());
    for (const QString& name : folderNames) names.append(name.toUtf8());
    return names;
}

void MoveCounts::add(const MoveCounts& other) {
    moved += other.moved;
    stayed += other.stayed;
    if (other.failed > 0 && failed == 0) firstFailure = other.firstFailure;
    failed += other.failed;
}

void MoveCounts::count(const FileError& error, int items) {
    if (error.ok()) {
        moved += items;
    } else if (error.code == EEXIST) {
        stayed += items;
    } else {
        if (failed == 0) firstFailure = error;
        failed += items;
    }
}

Filer::FolderState Filer::ensureFolder(const Path& path, FileError& error) {
    // A file or a link in the folder's place (dangling or not) is not used: moves into
    // it would fail, or land outside the folder being filed.
    if (const auto st = files_.status(path))
        return st->isDirectory() ? FolderState::Present : FolderState::Blocked;
    error = files_.makeDirectory(path);
    return error.ok() ? FolderState::Made : FolderState::Failed;
}

FileError Filer::moveItem(const QByteArray& name, const Path& from, const Path& toFolder) {
    prompter_.showProgressItem(displayName(name));
    return files_.moveNoReplace(from / name, toFolder / name);
}

template <typename Filter>
MoveCounts Filer::moveLooseItems(const Path& folder, const Path& destinationBase,
                                 const Settings& settings, Filter keep,
                                 const FileError& baseFailure) {
    // One listing and one type lookup per item; the result is that of trying the
    // categories in order, each with its entries in order. Each category keeps the
    // places of its items in the listing, not copies of their names.
    const TypeTable table(settings);
    const QList<QByteArray> folderNames = folderNameBytes(settings.folderNames);
    const NameList names = files_.listNames(folder, false);
    std::array<std::vector<std::uint32_t>, Settings::categoryCount + 1> byCategory;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QByteArrayView name = names.at(i);
        const int k = table.categoryOf(name);
        // The program's own folders are never filed into one another.
        if (k == noCategory || folderNames.contains(name)) continue;
        if (!keep(folder / names.name(i))) continue;
        byCategory[k].push_back(static_cast<std::uint32_t>(i));
    }

    MoveCounts counts;
    for (int k = 1; k <= Settings::categoryCount; ++k) {
        const std::vector<std::uint32_t>& items = byCategory[k];
        const int itemCount = static_cast<int>(items.size());
        if (items.empty()) continue;  // a category that receives nothing gets no folder
        if (!baseFailure.ok()) {
            counts.count(baseFailure, itemCount);
            continue;
        }
        const QByteArray categoryName = folderNames.value(k);
        const Path destination = destinationBase / categoryName;
        FileError error;
        const FolderState state = isPlainFolderName(categoryName) ? ensureFolder(destination, error)
                                                                  : FolderState::Blocked;
        if (state == FolderState::Blocked) {
            counts.stayed += itemCount;
            continue;
        }
        if (state == FolderState::Failed) {
            counts.count(error, itemCount);
            continue;
        }
        const int movedBefore = counts.moved;
        for (const std::uint32_t i : items)
            counts.count(moveItem(names.name(i), folder, destination));
        // A folder made for items that all stayed behind does not remain.
        if (state == FolderState::Made && counts.moved == movedBefore)
            (void)files_.removeEmptyDirectory(destination);  // something may have come in
    }
    return counts;
}

MoveCounts Filer::archiveFolder(const Path& folder, const Settings& settings,
                                const ArchiveCutoff& cutoff) {
    if (cutoff.isOff()) return {};
    const QByteArray archiveName = settings.folderNames.value(archiveIndex).toUtf8();
    const Path archive = folder / archiveName;
    FileError archiveFailure;
    const FolderState state = isPlainFolderName(archiveName) ? ensureFolder(archive, archiveFailure)
                                                             : FolderState::Blocked;

    prompter_.setProgressItemVisible(true);
    prompter_.openProgress(QStringLiteral("Archiving..."));
    MoveCounts counts;
    if (state != FolderState::Blocked && cutoff.state == ArchiveCutoff::State::Valid) {
        counts = moveLooseItems(
            folder, archive, settings,
            [&](const Path& path) {
                const auto st = files_.status(path);
                return st && cutoff.includes(*st);
            },
            archiveFailure);
    }
    prompter_.closeProgress();
    return counts;
}

MoveCounts Filer::fileFolder(const Path& folder, const Settings& settings) {
    prompter_.setProgressItemVisible(true);
    prompter_.openProgress(QStringLiteral("Filing..."));
    const MoveCounts counts =
        moveLooseItems(folder, folder, settings, [](const Path&) { return true; });

    // An archive folder that archiving made but left empty does not remain.
    const QByteArray archiveName = settings.folderNames.value(archiveIndex).toUtf8();
    const Path archive = folder / archiveName;
    if (isPlainFolderName(archiveName) && files_.isDirectory(archive))
        (void)files_.removeEmptyDirectory(archive);  // fails, as meant, when it holds items
    prompter_.closeProgress();
    return counts;
}

void Filer::bringBack(const Path& source, const Path& folder, MoveCounts& counts) {
    // Only a real folder: a link in a category folder's place is left alone, so that
    // unfiling never empties a folder elsewhere.
    if (!files_.isDirectory(source)) return;
    const NameList names = files_.listNames(source, true);
    for (std::size_t i = 0; i < names.size(); ++i)
        counts.count(moveItem(names.name(i), source, folder));
    (void)files_.removeEmptyDirectory(source);  // fails, harmlessly, when something stayed
}

MoveCounts Filer::unfileFolder(const Path& folder, const QStringList& folderNames) {
    prompter_.openProgress(QStringLiteral("Unfiling..."));
    MoveCounts counts;
    const QList<QByteArray> names = folderNameBytes(folderNames);
    // Archived items return to the top level, not to their category folders.
    const QByteArray archiveName = names.value(archiveIndex);
    const Path archive = folder / archiveName;
    if (isPlainFolderName(archiveName) && files_.isDirectory(archive)) {
        for (int k = 1; k <= Settings::categoryCount; ++k) {
            const QByteArray name = names.value(k);
            if (isPlainFolderName(name)) bringBack(archive / name, folder, counts);
        }
        (void)files_.removeEmptyDirectory(archive);  // fails, harmlessly, when something stayed
    }
    for (int k = 1; k <= Settings::categoryCount; ++k) {
        const QByteArray name = names.value(k);
        if (isPlainFolderName(name)) bringBack(folder / name, folder, counts);
    }
    prompter_.closeProgress();
    return counts;
}
