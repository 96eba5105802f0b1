#include "filing/filer.h"

#include <QHash>
#include <array>
#include <cerrno>
#include <limits>
#include <vector>

#include "filing/type_table.h"
#include "platform/file_system.h"
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
    report.kind = other.report.kind;
    report.addCounts(other.report);
    folders.unite(other.folders);
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

namespace {

// Whether path names an item directly inside folder, without making its parent's path.
bool isInFolder(const Path& path, const Path& folder) {
    const QByteArray& p = path.bytes();
    const qsizetype slash = lastSlash(p);
    const qsizetype folderLength = folder.bytes().endsWith('/') ? slash + 1 : slash;
    return slash >= 0 && QByteArrayView(p.constData(), folderLength) == folder.bytes();
}

}  // namespace

void Filer::restrictTo(const QList<QByteArray>& names) {
    NameList only;
    for (const QByteArray& name : names) only.append(name, false);
    only.sortByBytes();
    only_ = std::move(only);
}

Filer::FolderState Filer::ensureFolder(const Path& path, FileError& error) {
    // A file or a link in the folder's place (dangling or not) is not used: moves into
    // it would fail, or land outside the folder being filed.
    if (const auto st = files_.status(path))
        return st->isDirectory() ? FolderState::Present : FolderState::Blocked;
    error = files_.makeDirectory(path);
    return error.ok() ? FolderState::Made : FolderState::Failed;
}

template <typename Filter>
void Filer::planLooseItems(RunPlan& plan, const Path& folder, const Path& destinationBase,
                           const Settings& settings, Filter keep, bool planUnmatched) {
    // One listing and one type lookup per item; the order is that of trying the
    // categories in order, each with its entries in order. The steps keep the places of
    // their items in the listing, not copies of their names.
    const TypeTable table(settings);
    const QList<QByteArray> folderNames = folderNameBytes(settings.folderNames);
    NameList names = files_.listNames(folder, false);
    if (only_) {
        // Both in byte order: one walk through the two.
        std::size_t next = 0;
        names.retain([&](QByteArrayView name, bool) {
            while (next < only_->size() && NameList::before(only_->at(next), name)) ++next;
            return next < only_->size() && only_->at(next) == name;
        });
    }
    std::array<std::vector<std::uint32_t>, Settings::categoryCount + 1> byCategory;
    std::vector<std::uint32_t> unmatched;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QByteArrayView name = names.at(i);
        // The program's own folders are never filed into one another.
        if (folderNames.contains(name)) continue;
        const int k = table.categoryOf(name);
        if ((k == noCategory && !planUnmatched) || !keep(folder / name)) continue;
        (k == noCategory ? unmatched : byCategory[k]).push_back(static_cast<std::uint32_t>(i));
    }

    for (int k = 1; k <= Settings::categoryCount; ++k) {
        std::vector<std::uint32_t>& items = byCategory[k];
        if (items.empty()) continue;  // a category that receives nothing gets no folder
        const QByteArray categoryName = folderNames.value(k);
        const Path destination = destinationBase / categoryName;
        // A non-folder in the category folder's place keeps its items where they are; an
        // existing folder's names are taken.
        const auto st = isPlainFolderName(categoryName) ? files_.status(destination)
                                                        : std::optional<FileStatus>(FileStatus{});
        std::vector<Refusal> refusals(items.size(), Refusal::None);
        if (st && !st->isDirectory()) {
            std::fill(refusals.begin(), refusals.end(), Refusal::NotAFolder);
        } else if (st) {
            const NameList inside = files_.listNames(destination, true);
            for (std::size_t j = 0; j < items.size(); ++j)
                if (inside.find(names.at(items[j])) < inside.size())
                    refusals[j] = Refusal::NameTaken;
        }
        plan.steps.appendListed(names, folder, destination, std::move(items), std::move(refusals));
    }
    plan.steps.appendListed(names, folder, Path(), unmatched,
                            std::vector<Refusal>(unmatched.size(), Refusal::NoMatchingType));
}

RunPlan Filer::planArchive(const Path& folder, const Settings& settings,
                           const ArchiveCutoff& cutoff) {
    RunPlan plan;
    plan.kind = RunKind::Archive;
    if (cutoff.isOff()) return plan;
    const QByteArray archiveName = settings.folderNames.value(archiveIndex).toUtf8();
    const Path archive = folder / archiveName;
    if (!isPlainFolderName(archiveName)) return plan;
    if (const auto st = files_.status(archive); st && !st->isDirectory()) return plan;
    plan.makeFirst.append(archive);
    if (cutoff.state != ArchiveCutoff::State::Valid) return plan;
    // Archiving leaves alone what it does not archive: only old items count.
    planLooseItems(
        plan, folder, archive, settings,
        [&](const Path& path) {
            const auto st = files_.status(path);
            return st && cutoff.includes(*st);
        },
        false);
    return plan;
}

RunPlan Filer::planFiling(const Path& folder, const Settings& settings) {
    RunPlan plan;
    plan.kind = RunKind::File;
    planLooseItems(
        plan, folder, folder, settings, [](const Path&) { return true; }, true);
    // An archive folder that archiving made but left empty does not remain.
    const QByteArray archiveName = settings.folderNames.value(archiveIndex).toUtf8();
    if (isPlainFolderName(archiveName))
        plan.removeWhenEmpty.append({qsizetype(plan.steps.size()), folder / archiveName});
    return plan;
}

// The names at the top level of the folder being unfiled as the plan's steps leave it:
// those listed there, less the folders the plan removes, and those its steps bring back.
// Kept as the listings themselves, so that a million names cost no copies.
class Filer::TakenNames {
  public:
    explicit TakenNames(NameList top) : top_(std::move(top)) {}
    // Whether each of names is refused for a taken name; those not refused are taken
    // from then on.
    std::vector<Refusal> bringBack(const NameList& names) {
        std::vector<Refusal> refusals(names.size(), Refusal::None);
        top_.forEachCommon(names, [&](std::size_t t, std::size_t i) {
            if (!freed_.contains(top_.name(t))) refusals[i] = Refusal::NameTaken;
        });
        for (const Brought& earlier : brought_)
            earlier.names.forEachCommon(names, [&](std::size_t e, std::size_t i) {
                if (earlier.came[e]) refusals[i] = Refusal::NameTaken;
            });
        std::vector<bool> came(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) came[i] = refusals[i] == Refusal::None;
        brought_.push_back({names, std::move(came)});
        return refusals;
    }
    // A folder listed at the top that the plan removes.
    void free(const QByteArray& name) { freed_.insert(name); }

  private:
    struct Brought {
        NameList names;
        std::vector<bool> came;
    };
    NameList top_;
    QSet<QByteArray> freed_;
    std::vector<Brought> brought_;
};

bool Filer::planBringBack(RunPlan& plan, const Path& source, const Path& folder,
                          TakenNames& taken) {
    // Only a real folder: a link in a category folder's place is left alone, so that
    // unfiling never empties a folder elsewhere.
    if (!files_.isDirectory(source)) return false;
    const NameList names = files_.listNames(source, true);
    std::vector<Refusal> refusals = taken.bringBack(names);
    const bool emptied =
        std::find(refusals.begin(), refusals.end(), Refusal::NameTaken) == refusals.end();
    std::vector<std::uint32_t> items(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) items[i] = static_cast<std::uint32_t>(i);
    plan.steps.appendListed(names, source, folder, std::move(items), std::move(refusals));
    plan.removeWhenEmpty.append({qsizetype(plan.steps.size()), source});
    return emptied;
}

RunPlan Filer::planUnfiling(const Path& folder, const QStringList& folderNames) {
    RunPlan plan;
    plan.kind = RunKind::Unfile;
    const QList<QByteArray> names = folderNameBytes(folderNames);
    TakenNames taken(files_.listNames(folder, true));
    // A folder emptied by its moves is removed at once, which frees its name for the
    // items that come after it.
    auto bringBack = [&](const Path& source) {
        if (planBringBack(plan, source, folder, taken) && source.parent() == folder)
            taken.free(source.fileName());
    };
    // Archived items return to the top level, not to their category folders.
    const QByteArray archiveName = names.value(archiveIndex);
    const Path archive = folder / archiveName;
    if (isPlainFolderName(archiveName) && files_.isDirectory(archive)) {
        const NameList inside = files_.listNames(archive, true);
        bool emptied = true;
        for (int k = 1; k <= Settings::categoryCount; ++k) {
            const QByteArray name = names.value(k);
            if (isPlainFolderName(name) && !planBringBack(plan, archive / name, folder, taken))
                emptied = false;
        }
        for (std::size_t i = 0; i < inside.size(); ++i)
            if (!names.mid(1, Settings::categoryCount).contains(inside.at(i))) emptied = false;
        plan.removeWhenEmpty.append({qsizetype(plan.steps.size()), archive});
        if (emptied) taken.free(archiveName);
    }
    for (int k = 1; k <= Settings::categoryCount; ++k) {
        const QByteArray name = names.value(k);
        if (isPlainFolderName(name)) bringBack(folder / name);
    }
    return plan;
}

MoveCounts Filer::execute(const RunPlan& plan, const QString& progressTitle) {
    MoveCounts counts;
    RunReport& report = counts.report;
    report.countPlan(plan);
    counts.stayed = report.nameTaken + report.notAFolder;
    report.nameTaken = 0;  // counted again below, as the moves find them
    report.notAFolder = 0;

    // Filing's archive folder is made even when nothing goes into it; when making it
    // fails, every item meant for it fails with that error.
    FileError baseFailure;
    for (const Path& path : plan.makeFirst)
        if (FileError error; ensureFolder(path, error) == FolderState::Failed) baseFailure = error;

    const qsizetype total = plan.stepsToMake();
    observer_.passBegins(progressTitle, total, true);
    QHash<Path, std::pair<FolderState, FileError>> folders;
    auto known = folders.end();
    QSet<Path> received;
    Path lastReceived;
    qsizetype removals = 0;
    auto removeEmptied = [&](qsizetype stepsMade) {
        for (; removals < plan.removeWhenEmpty.size() &&
               plan.removeWhenEmpty.at(removals).afterSteps <= stepsMade;
             ++removals) {
            const Path& path = plan.removeWhenEmpty.at(removals).folder;
            // Fails, harmlessly, when something stayed or came in.
            if (files_.isDirectory(path)) (void)files_.removeEmptyDirectory(path);
        }
    };
    qsizetype done = 0;
    qsizetype i = 0;
    for (auto it = plan.steps.begin(); it != plan.steps.end(); ++it, ++i) {
        removeEmptied(i);
        if (const Refusal refusal = it.refusal(); refusal != Refusal::None) {
            if (refusal == Refusal::NameTaken) ++report.nameTaken;
            if (refusal == Refusal::NotAFolder) ++report.notAFolder;
            continue;
        }
        if (observer_.stopRequested()) {
            report.cancelled = true;
            break;
        }
        if (!baseFailure.ok()) {
            counts.count(baseFailure);
            continue;
        }
        const PlannedStep step = *it;
        // Steps come folder by folder: the folder is looked up only when it changes.
        if (known == folders.end() || !isInFolder(step.to, known.key())) {
            const Path destination = step.to.parent();
            known = folders.find(destination);
            if (known == folders.end()) {
                FileError error;
                const FolderState state = ensureFolder(destination, error);
                known = folders.insert(destination, {state, error});
            }
        }
        if (known->first == FolderState::Blocked) {
            ++counts.stayed;
            ++report.notAFolder;
            continue;
        }
        if (known->first == FolderState::Failed) {
            counts.count(known->second);
            continue;
        }
        observer_.step(++done, total, StepItem::name(step.from.name()));
        const FileError error = files_.moveNoReplace(step.from, step.to);
        counts.count(error);
        if (error.code == EEXIST) ++report.nameTaken;
        if (!error.ok()) continue;
        const Path& counted = plan.kind == RunKind::Unfile ? step.from : step.to;
        if (lastReceived.isEmpty() || !isInFolder(counted, lastReceived)) {
            lastReceived = counted.parent();
            received.insert(lastReceived);
        }
    }
    // A folder made for items that all stayed behind does not remain.
    for (auto it = folders.cbegin(); it != folders.cend(); ++it)
        if (it->first == FolderState::Made && !received.contains(it.key()))
            (void)files_.removeEmptyDirectory(it.key());  // something may have come in
    removeEmptied(std::numeric_limits<qsizetype>::max());
    observer_.passEnds();
    report.done = counts.moved;
    report.failed = counts.failed;
    report.folders = static_cast<int>(received.size());
    counts.folders = std::move(received);
    return counts;
}

MoveCounts Filer::archiveFolder(const Path& folder, const Settings& settings,
                                const ArchiveCutoff& cutoff) {
    if (cutoff.isOff()) return {};
    return execute(planArchive(folder, settings, cutoff), QStringLiteral("Archiving..."));
}

MoveCounts Filer::fileFolder(const Path& folder, const Settings& settings) {
    return execute(planFiling(folder, settings), QStringLiteral("Filing..."));
}

RunPlan Filer::planFilingRun(const Path& folder, const Settings& settings,
                             const ArchiveCutoff& cutoff) {
    RunPlan plan = planArchive(folder, settings, cutoff);
    // Filing comes after archiving: what archiving moves is no longer loose.
    QSet<Path> archived;
    for (const PlannedStep& step : plan.steps)
        if (step.refusal == Refusal::None) archived.insert(step.from);
    const RunPlan filing = planFiling(folder, settings);
    for (PlannedStep step : filing.steps)
        if (!archived.contains(step.from)) plan.steps.push_back(std::move(step));
    plan.kind = RunKind::File;
    return plan;
}

MoveCounts Filer::fileWithArchiving(const Path& folder, const Settings& settings,
                                    const ArchiveCutoff& cutoff,
                                    const std::function<void()>& afterArchiving) {
    MoveCounts counts;
    // A folder with nothing old gets no archive folder.
    if (!cutoff.isOff())
        if (const RunPlan archive = planArchive(folder, settings, cutoff);
            archive.stepsToMake() > 0)
            counts = execute(archive, QStringLiteral("Archiving..."));
    if (afterArchiving) afterArchiving();
    if (!counts.report.cancelled)
        counts.add(execute(planFiling(folder, settings), QStringLiteral("Filing...")));
    counts.report.kind = RunKind::File;
    return counts;
}

MoveCounts Filer::unfileFolder(const Path& folder, const QStringList& folderNames) {
    return execute(planUnfiling(folder, folderNames), QStringLiteral("Unfiling..."));
}
