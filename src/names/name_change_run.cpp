#include "names/name_change_run.h"

#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <numeric>
#include <vector>

namespace {

const QString confirmTitle = QStringLiteral("Change Names");
const QString doneMessage = QStringLiteral("The file and/or folder names have been changed.");
const QString undecodedMessage = QStringLiteral(
    "These names are not valid text, so no rule applied to them; they were left "
    "as they are:");
const QString emptyFindMessage = QStringLiteral(
    "The box is checked to replace a string, but no string has been specified to be replaced.");
const QString colonMessage = QStringLiteral("The colon character (:) is not allowed in filenames.");
const QString slashMessage = QStringLiteral("The slash character (/) is not allowed in filenames.");
const QString periodMessage = QStringLiteral("File name cannot begin with a period (.) character.");
const QString emptyNameMessage = QStringLiteral("File name cannot be empty.");
const QString takenMessage =
    QStringLiteral("There is already a file in this folder with the name ");

// Case-folded keys first, so "beach" and "Beach" sit together; equal keys keep the
// code-point order the file system interface lists in.
void sortAsShown(QStringList& names) {
    std::vector<QString> keys;
    keys.reserve(names.size());
    for (const QString& name : names) keys.push_back(name.toCaseFolded());
    if (std::is_sorted(keys.begin(), keys.end())) return;  // the usual case: nothing moves
    std::vector<qsizetype> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return keys[a] < keys[b]; });
    QStringList sorted;
    sorted.reserve(names.size());
    for (qsizetype i : order) sorted.append(names.at(i));
    names = std::move(sorted);
}

bool sameItem(const FileStatus& a, const FileStatus& b) {
    return a.device == b.device && a.inode == b.inode;
}

}  // namespace

NameChangeRun::NameChangeRun(Prompter& prompter, FileSystem& files, Path folder)
    : prompter_(prompter), files_(files), folder_(std::move(folder)) {}

RunResult NameChangeRun::doChangeNames(const NameChangeOptions& options) {
    const QString question =
        QStringLiteral("Do you want to change the names of all of the files and/or folders in ") +
        folder_.display() + u'?';
    if (!prompter_.confirm(confirmTitle, question, QStringLiteral("OK")))
        return RunResult::Cancelled;
    if (noteRecentFolder) noteRecentFolder(folder_);
    // Every pass reads this one copy, taken once the user has confirmed.
    options_ = options;
    const Affix prefix{options_.prefixNumberCheck, options_.prefixStringCheck,
                       options_.prefixTextField, options_.prefixNumber2Check};
    const Affix suffix{options_.suffixNumberCheck, options_.suffixStringCheck,
                       options_.suffixTextField, options_.suffixNumber2Check};

    const bool completed = refuseSlashes() && (!options_.replaceCheck || replacePass()) &&
                           (!prefix.isOn() || affixPass(prefix, true)) &&
                           (!suffix.isOn() || affixPass(suffix, false)) &&
                           (!options_.removeSpacesCheck || removeSpacesPass()) &&
                           (!options_.removeNumbersCheck || removeNumbersPass()) &&
                           (!options_.caseCheck || changeCasePass());
    if (!completed) return RunResult::Failed;
    QString message = doneMessage;
    if (!undecodedNames_.empty()) {
        message += QStringLiteral("\n\n") + undecodedMessage;
        for (const QByteArray& name : undecodedNames_) message += u'\n' + displayName(name);
    }
    prompter_.notice(message);
    return RunResult::Done;
}

// A "/" in a new name would move the item into another folder, "../x" out of this one:
// refused before anything is renamed.
bool NameChangeRun::refuseSlashes() {
    const NameChangeOptions& o = options_;
    const bool slash = (o.replaceCheck && o.replace2TextField.contains(u'/')) ||
                       (o.prefixStringCheck && o.prefixTextField.contains(u'/')) ||
                       (o.suffixStringCheck && o.suffixTextField.contains(u'/'));
    if (slash) prompter_.notice(slashMessage);
    return !slash;
}

NameChangeRun::Listing NameChangeRun::getFiles() {
    Listing listing;
    const bool foldersToo = options_.foldersToo;
    const NameList names = files_.listNames(folder_, false);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!foldersToo && names.isDirectory(i)) continue;
        QString name = QString::fromUtf8(names.at(i));
        if (name.toUtf8() == names.at(i))
            listing.names.append(std::move(name));
        else
            undecodedNames_.insert(names.name(i));
    }
    sortAsShown(listing.names);
    listing.taken = QSet<QString>(listing.names.cbegin(), listing.names.cend());
    return listing;
}

NameChangeRun::MoveResult NameChangeRun::doMove(const QString& name, const QString& newName,
                                                const Listing& listing) {
    if (newName.isEmpty()) {
        prompter_.notice(emptyNameMessage);
        return MoveResult::Refused;
    }
    if (newName.startsWith(u'.')) {
        prompter_.notice(periodMessage);
        return MoveResult::Refused;
    }
    if (listing.taken.contains(newName)) {
        prompter_.notice(takenMessage + newName);
        return MoveResult::Taken;
    }
    // A name given earlier in this pass is not in the listing; the move itself refuses it.
    if (FileError error = files_.moveNoReplace(pathOf(name), pathOf(newName)); !error.ok()) {
        prompter_.notice(error.message);
        return MoveResult::Refused;
    }
    return MoveResult::Moved;
}

bool NameChangeRun::renameEach(const Listing& listing, const Rule& rule, TakenName taken) {
    for (qsizetype i = 0; i < listing.names.size(); ++i) {
        const QString& name = listing.names.at(i);
        const std::optional<QString> newName = rule(name, static_cast<int>(i));
        if (!newName) continue;
        switch (doMove(name, *newName, listing)) {
            case MoveResult::Moved:
                break;
            case MoveResult::Refused:
                return false;
            case MoveResult::Taken:
                if (taken == TakenName::EndsRun) return false;
                break;
        }
    }
    return true;
}

bool NameChangeRun::replacePass() {
    if (options_.replace1TextField.isEmpty()) {
        prompter_.notice(emptyFindMessage);
        return false;
    }
    // A "/" typed in the text to find stands for the ":" that names from a Mac volume
    // keep in its place.
    const QString find = QString(options_.replace1TextField).replace(u'/', u':');
    if (options_.replace2TextField.contains(u':')) {
        prompter_.notice(colonMessage);
        return false;
    }
    const QString& replacement = options_.replace2TextField;
    const bool ignoreCase = options_.ignoreCaseCheck;
    return renameEach(
        getFiles(),
        [&](const QString& name, int) { return replacedName(name, find, replacement, ignoreCase); },
        TakenName::GoesOn);
}

// A taken name lets the prefix pass go on with the next item but ends the suffix pass.
bool NameChangeRun::affixPass(const Affix& affix, bool atFront) {
    const Listing listing = getFiles();
    if (!listing.names.isEmpty() && affix.textOn && affix.text.contains(u':')) {
        prompter_.notice(colonMessage);
        return false;
    }
    return renameEach(
        listing,
        [&](const QString& name, int index) -> std::optional<QString> {
            return atFront ? affix.at(index) + name : name + affix.at(index);
        },
        atFront ? TakenName::GoesOn : TakenName::EndsRun);
}

bool NameChangeRun::removeSpacesPass() {
    return renameEach(
        getFiles(), [](const QString& name, int) { return withoutSpaces(name); },
        TakenName::GoesOn);
}

bool NameChangeRun::removeNumbersPass() {
    return renameEach(
        getFiles(),
        [&](const QString& name, int) {
            std::optional<QString> newName = withoutDigits(name);
            if (newName)
                qInfo("%s",
                      qUtf8Printable(QStringLiteral("Paths = %1, %2")
                                         .arg(pathOf(name).display(), pathOf(*newName).display())));
            return newName;
        },
        TakenName::GoesOn);
}

bool NameChangeRun::changeCasePass() {
    const Listing listing = getFiles();
    const bool upper = !options_.lowerCase;
    for (const QString& name : listing.names) {
        const QString newName = caseChanged(name, upper);
        if (newName != name) changeCase(name, newName, listing);
    }
    return true;
}

// Neither a taken name nor a failure ends this pass. A name that belongs to another item
// is refused like a taken one; a failure is only logged, the way a command-line mv would
// report it.
void NameChangeRun::changeCase(const QString& name, const QString& newName,
                               const Listing& listing) {
    if (listing.taken.contains(newName)) {
        prompter_.notice(takenMessage + newName);
        return;
    }
    const Path from = pathOf(name), to = pathOf(newName);
    FileError error;
    if (const auto target = files_.status(to)) {
        const auto source = files_.status(from);
        if (!source || !sameItem(*source, *target)) {
            prompter_.notice(takenMessage + newName);
            return;
        }
        // The file system ignores letter case, so the new name finds this very item.
        error = moveThroughTemporaryName(from, to);
    } else {
        error = files_.moveNoReplace(from, to);
    }
    if (!error.ok()) qWarning("%s", qUtf8Printable(error.message));
}

// Two no-replace moves by way of a hidden name, for a file system on which the new name
// already finds the item itself. A failed second step puts the item back.
FileError NameChangeRun::moveThroughTemporaryName(const Path& from, const Path& to) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const Path temporary = pathOf(QStringLiteral(".desktidy-case-%1").arg(attempt));
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
