#include "names/name_change_run.h"

#include <QtGlobal>
#include <cerrno>

namespace {

bool sameItem(const FileStatus& a, const FileStatus& b) {
    return a.device == b.device && a.inode == b.inode;
}

}  // namespace

NameChangeRun::NameChangeRun(FileSystem& files, Path folder, RunObserver& observer)
    : files_(files), folder_(std::move(folder)), observer_(observer) {}

QString NameChangeRun::question(const Path& folder) {
    return QStringLiteral(
               "Do you want to change the names of all of the files and/or folders in ") +
           folder.display() + u'?';
}

RunResult NameChangeRun::execute(const NameChangePlan& plan) {
    report_ = {};
    notices_.clear();
    report_.countPlan(plan.plan);
    for (const QString& line : plan.logLines) qInfo("%s", qUtf8Printable(line));
    const qsizetype total = plan.plan.stepsToMake();
    observer_.passBegins(QStringLiteral("Changing Names..."), total, true);
    // Every way out of the loop ends the pass the observer was told of.
    struct PassEnd {
        RunObserver& observer;
        ~PassEnd() { observer.passEnds(); }
    } passEnd{observer_};
    qsizetype done = 0;
    // Items of a cycle under a temporary name: no stop until each has its new name.
    int aside = 0;
    std::size_t i = 0;
    for (auto it = plan.plan.steps.begin(); it != plan.plan.steps.end(); ++it, ++i) {
        if (it.refusal() != Refusal::None) continue;
        const PlannedStep step = *it;
        if (aside == 0 && observer_.stopRequested()) {
            report_.cancelled = true;
            return RunResult::Cancelled;
        }
        observer_.step(++done, total, StepItem::name(step.from.name()));
        const FileError error = move(step.from, step.to);
        // A temporary name that only breaks a cycle is no item of the result.
        const bool counts = !isCycleName(step.to.name());
        if (error.ok()) {
            aside += int(!counts) - int(isCycleName(step.from.name()));
            report_.done += counts;
            continue;
        }
        const Path fallback = i < plan.beforeCase.size() ? plan.beforeCase[i] : Path();
        if (fallback.isEmpty()) {
            // Stop where the pass-by-pass run would have met the failure.
            ++report_.failed;
            report_.stopAlert = error.message;
            report_.stopItem = step.from;
            notices_.append(error.message);
            return RunResult::Failed;
        }
        // The case pass only logs a refused change, the way a command-line mv would
        // report it; the item keeps the name the passes before it gave.
        qWarning("%s", qUtf8Printable(error.message));
        ++report_.failed;
        if (fallback != step.from) {
            if (const FileError back = files_.moveNoReplace(step.from, fallback); !back.ok()) {
                report_.stopAlert = back.message;
                report_.stopItem = step.from;
                notices_.append(back.message);
                return RunResult::Failed;
            }
            aside -= int(isCycleName(step.from.name()));
            report_.done += counts;
        }
    }
    for (const QString& notice : plan.plan.notices) notices_.append(notice);
    if (plan.plan.stopAlert) {
        notices_.append(*plan.plan.stopAlert);
        return RunResult::Failed;
    }
    QString message = NameChangeTexts::done;
    if (!plan.undecoded.empty()) {
        message += QStringLiteral("\n\n") + NameChangeTexts::undecoded;
        for (const QByteArray& name : plan.undecoded) {
            message += u'\n' + displayName(name);
            report_.details << displayName(name);
        }
    }
    notices_.append(message);
    return RunResult::Done;
}

// A move onto a name that finds the item itself (a file system that ignores letter
// case) goes by way of a temporary name.
FileError NameChangeRun::move(const Path& from, const Path& to) {
    FileError error = files_.moveNoReplace(from, to);
    if (error.code != EEXIST) return error;
    const auto target = files_.status(to);
    const auto source = files_.status(from);
    if (!target || !source || !sameItem(*source, *target)) return error;
    return moveThroughTemporaryName(from, to);
}

// Two no-replace moves by way of a hidden name. A failed second step puts the item back.
FileError NameChangeRun::moveThroughTemporaryName(const Path& from, const Path& to) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const Path temporary = folder_ / (".desktidy-case-" + QByteArray::number(attempt));
        FileError first = files_.moveNoReplace(from, temporary);
        if (first.code == EEXIST) continue;
        if (!first.ok()) return first;
        const FileError second = files_.moveNoReplace(temporary, to);
        if (second.ok()) return {};
        FileError error = FileError::fromErrno(second.code, from, QStringLiteral("rename"));
        if (!files_.moveNoReplace(temporary, from).ok())
            error.message += QStringLiteral(" It is now named \u201c%1\u201d.")
                                 .arg(displayName(temporary.fileName()));
        return error;
    }
    return FileError::fromErrno(EEXIST, from, QStringLiteral("rename"));
}
