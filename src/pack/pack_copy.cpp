#include "pack/pack_copy.h"

#include <cerrno>
#include <optional>

#include "pack/pack_lists.h"
#include "platform/copy_tree.h"

CopyRunTexts CopyRunTexts::pack() {
    return {QStringLiteral("Pack these files?"),
            QStringLiteral("Desktidy will copy all of the files and folders listed in the Pack "
                           "Stashery Setup, to the listed locations."),
            QStringLiteral("All done packing your files for the road"),
            QStringLiteral("All of the Pack Stashery files and folders have been copied to "
                           "their destinations."),
            NotificationName::donePacking,
            QStringLiteral("All done packing your files for the road.")};
}

CopyRunTexts CopyRunTexts::unpack() {
    return {QStringLiteral("Unpack these files?"),
            QStringLiteral("Desktidy will copy all of the files and folders in the Unpack list "
                           "in the Pack Stashery Setup back to the listed locations."),
            QStringLiteral("All done unpacking your files from the road"),
            QStringLiteral("All of the Unpack Stashery files and folders have been copied to "
                           "their destinations."),
            NotificationName::doneUnpacking,
            QStringLiteral("All done unpacking your files from the road."),
            RunKind::Unpack};
}

CopyList CopyList::fromTexts(const QStringList& fromArray, const QStringList& toArray,
                             bool replaceWithoutAsking) {
    CopyList list;
    list.replaceWithoutAsking = replaceWithoutAsking;
    for (qsizetype i = 0; i < fromArray.size(); ++i)
        list.rows.append({Path::fromText(fromArray.at(i)), Path::fromText(toArray.value(i))});
    return list;
}

namespace {

// CopiedWithProblem: the copy is in place, but something the row was to remove was not.
enum class RowOutcome { Copied, CopiedWithProblem, Skipped, Failed, Stopped };

bool sameItem(const FileStatus& a, const FileStatus& b) {
    return a.device == b.device && a.inode == b.inode;
}

// True when path, with every link in it resolved, is folder or lies inside it.
bool liesWithin(FileSystem& files, const Path& path, const FileStatus& folder) {
    Path p = canonicalPath(path);
    while (!p.isEmpty()) {
        const auto st = files.status(p);
        if (st && sameItem(*st, folder)) return true;
        if (p.bytes() == "/") break;
        p = p.parent();
    }
    return false;
}

struct RowRefusal {
    Refusal kind;
    QString reason;   // "it does not exist."
    QString message;  // the alert: the row, then the reason
};

RowRefusal refused(const Path& source, const Path& folder, const QString& why,
                   Refusal kind = Refusal::NotAllowed) {
    return {kind, why,
            QStringLiteral("\u201c%1\u201d was not copied to \u201c%2\u201d: %3")
                .arg(source.display(), folder.display(), why)};
}

// Why a row must not be copied, if it must not: its source or destination folder is not
// there, or copying it would remove its own source, put a folder inside itself, replace
// a kept folder or one that holds it, or (for a source or destination edited to nothing)
// name the destination folder itself as the copy path.
std::optional<RowRefusal> refusal(FileSystem& files, const Path& source, const Path& folder,
                                  const Path& copyPath, const QList<KeptFolder>& kept) {
    const QByteArray name = source.fileName();
    if (name.isEmpty() || name == "." || name == ".." || name == "/")
        return refused(source, folder, QStringLiteral("it does not name a file or folder."));
    if (folder.isEmpty())
        return refused(source, folder, QStringLiteral("no destination folder is given."));
    const auto original = files.status(source);
    if (!original)
        return refused(source, folder, QStringLiteral("it does not exist."), Refusal::Missing);
    // "/." looks through a link to a folder, as the copy does.
    if (const auto into = files.status(folder / "."); !into || !into->isDirectory())
        return refused(
            source, folder,
            files.exists(folder)
                ? QStringLiteral("\u201c%1\u201d is not a folder.").arg(folder.display())
                : QStringLiteral("the folder \u201c%1\u201d does not exist.").arg(folder.display()),
            Refusal::Missing);
    const auto existing = files.status(copyPath);
    if (existing && sameItem(*existing, *original))
        return refused(source, folder, QStringLiteral("the copy would replace the item itself."));
    if (existing && existing->isDirectory())
        for (const KeptFolder& keep : kept)
            if (liesWithin(files, keep.path, *existing))
                return refused(source, folder,
                               QStringLiteral("the copy would replace \u201c%1\u201d, which is "
                                              "or holds %2.")
                                   .arg(copyPath.display(), keep.what));
    if (original->isDirectory() && liesWithin(files, folder, *original))
        return refused(source, folder, QStringLiteral("a folder cannot be copied into itself."));
    if (existing && existing->isDirectory() && liesWithin(files, source.parent(), *existing))
        return refused(source, folder,
                       QStringLiteral("the copy would replace the folder that holds it."));
    return std::nullopt;
}

RowOutcome report(Prompter& prompter, const FileError& error,
                  RowOutcome outcome = RowOutcome::Failed) {
    return prompter.fileError(error) == FileErrorChoice::Stop ? RowOutcome::Stopped : outcome;
}

// Removes the partial copies that stopped runs left beside copyPath, except one the user
// chose the source from. The first failure is returned; the row goes on regardless.
FileError removeLeftoverCopies(FileSystem& files, const Path& source, const Path& copyPath) {
    FileError first;
    for (const Path& leftover : leftoverCopiesOf(files, copyPath)) {
        const auto st = files.status(leftover);
        if (!st || (st->isDirectory() && liesWithin(files, source, *st))) continue;
        if (FileError e = files.removeAll(leftover); !e.ok() && first.ok()) {
            first = e;
            first.message = QStringLiteral(
                                "A partial copy left by an earlier run, \u201c%1\u201d, "
                                "could not be removed. %2")
                                .arg(leftover.display(), e.message);
        }
    }
    return first;
}

RowOutcome copyRow(const PlannedStep& step, bool replaceWithoutAsking, CopyServices& services) {
    const Path& source = step.from;
    const Path& copyPath = step.to;
    const Path folder = copyPath.parent();
    if (step.refusal != Refusal::None)
        return report(services.prompter, FileError{EINVAL, source, step.why});
    if (!replaceWithoutAsking && services.files.exists(copyPath) &&
        !services.prompter.confirm(
            QStringLiteral("Overwrite this file?"),
            copyPath.display() + QStringLiteral(" exists.  Do you want to overwrite it?"),
            QStringLiteral("Overwrite")))
        return RowOutcome::Skipped;
    const FileError leftover = removeLeftoverCopies(services.files, source, copyPath);
    const ReplaceOutcome replaced = copyReplacing(services.files, source, copyPath);
    if (replaced.error.ok() && leftover.ok()) return RowOutcome::Copied;
    // What became of the copy (unless the replacement's message tells it), then what failed.
    QStringList sentences;
    if (!replaced.copied)
        sentences << QStringLiteral("\u201c%1\u201d was not copied to \u201c%2\u201d.")
                         .arg(source.display(), folder.display());
    else if (replaced.error.ok())
        sentences << QStringLiteral("\u201c%1\u201d was copied to \u201c%2\u201d.")
                         .arg(source.display(), folder.display());
    if (!replaced.error.ok()) sentences << replaced.error.message;
    if (!leftover.ok()) sentences << leftover.message;
    FileError failed = !replaced.error.ok() ? replaced.error : leftover;
    failed.message = sentences.join(u' ');
    return report(services.prompter, failed,
                  replaced.copied ? RowOutcome::CopiedWithProblem : RowOutcome::Failed);
}

}  // namespace

std::optional<QString> whyRowIsRefused(FileSystem& files, const CopyRow& row,
                                       const QList<KeptFolder>& kept) {
    const auto why =
        refusal(files, row.source, row.destination, copyPathOf(row.source, row.destination), kept);
    if (!why) return std::nullopt;
    return why->reason;
}

RunPlan planCopies(const CopyList& list, FileSystem& files, RunKind kind) {
    RunPlan plan;
    plan.kind = kind;
    for (const CopyRow& row : list.rows) {
        PlannedStep step{row.source, copyPathOf(row.source, row.destination), Refusal::None, {}};
        // The copy path of a row whose destination is empty is no path to show: the
        // refusal names the row.
        if (const auto why = refusal(files, row.source, row.destination, step.to, list.kept)) {
            step.refusal = why->kind;
            step.why = why->message;
        } else {
            step.replaces = files.exists(step.to);
        }
        plan.steps.push_back(std::move(step));
    }
    return plan;
}

RunResult copyStashery(const CopyRunTexts& texts, const RunPlan& plan, bool replaceWithoutAsking,
                       CopyServices services, CopyOutcome& outcome) {
    RunReport& report = outcome.report;
    report = {};
    report.kind = plan.kind;
    report.total = static_cast<int>(plan.steps.size());
    services.observer.passBegins(QStringLiteral("Copying..."), report.total, true);
    int notCopied = 0;
    bool anyFailed = false;
    const auto finish = [&](RunResult result) {
        services.observer.passEnds();
        report.failed = notCopied - report.notAllowed - report.missing;
        return result;
    };
    int row = 0;
    for (const PlannedStep& step : plan.steps) {
        if (services.observer.stopRequested()) {
            report.cancelled = true;
            return finish(RunResult::Cancelled);
        }
        services.observer.step(++row, report.total, StepItem::path(step.to));
        const RowOutcome rowOutcome = copyRow(step, replaceWithoutAsking, services);
        if (rowOutcome == RowOutcome::Stopped) {
            report.cancelled = true;
            return finish(RunResult::Cancelled);
        }
        notCopied += rowOutcome == RowOutcome::Failed;
        report.nameTaken += rowOutcome == RowOutcome::Skipped;  // the user kept what was there
        report.notAllowed +=
            rowOutcome == RowOutcome::Failed && step.refusal == Refusal::NotAllowed;
        report.missing += rowOutcome == RowOutcome::Failed && step.refusal == Refusal::Missing;
        report.done +=
            rowOutcome == RowOutcome::Copied || rowOutcome == RowOutcome::CopiedWithProblem;
        anyFailed = anyFailed || rowOutcome == RowOutcome::Failed ||
                    rowOutcome == RowOutcome::CopiedWithProblem;
    }
    // The notification says every item was copied; after a failed row that would be false.
    outcome.notifyDone = notCopied == 0;
    if (notCopied == 0)
        outcome.closingNotice = texts.closingMessage;
    else if (notCopied == 1)
        outcome.closingNotice = QStringLiteral("1 item was not copied.");
    else
        outcome.closingNotice = QStringLiteral("%1 items were not copied.").arg(notCopied);
    return finish(anyFailed ? RunResult::Failed : RunResult::Done);
}
