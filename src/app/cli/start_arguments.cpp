#include "app/cli/start_arguments.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "app/desktidy_controller.h"

namespace {

QString quoted(const QString& argument) {
    return u'\u201c' + displayName(bytesOfText(argument)) + u'\u201d';
}

bool digitsAlone(const QString& word) {
    return !word.isEmpty() &&
           std::all_of(word.begin(), word.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

StartArguments usage(QString problem) {
    StartArguments start;
    start.kind = StartArguments::Kind::Usage;
    start.problem = std::move(problem);
    return start;
}

const QString scheduledRunAlone = QStringLiteral(
    "The scheduled run is \u201cdesktidy 1\u201d alone, with no options or other "
    "arguments.");

// Why word names no folder to open the window on, or nothing when it names one; the
// folder it names, absolute and clean, goes into folders.
QString folderProblem(const QString& word, const Path& current, QList<Path>& folders) {
    if (word.isEmpty()) return QStringLiteral("an empty argument names no command and no folder.");
    if (digitsAlone(word))
        return QStringLiteral("%1 is no command. ").arg(quoted(word)) + scheduledRunAlone;
    const Path path(bytesOfText(word));
    // A launcher passes absolute paths: the window tells of any that is no folder.
    if (path.isAbsolute()) {
        folders << path.cleaned();
        return QString();
    }
    const Path folder = (current / path.bytes()).cleaned();
    if (isFolderOrLinkToOne(folder)) {
        folders << folder;
        return QString();
    }
    if (word.startsWith(u'-'))
        return QStringLiteral(
                   "%1 is no folder; options go before the command they belong "
                   "to, global ones before any command.")
            .arg(quoted(word));
    if (!word.contains(u'/') && ::access(folder.c_str(), F_OK) != 0)
        return QStringLiteral(
                   "unknown command %1. Run \u201cdesktidy --help\u201d for the list "
                   "of commands.")
            .arg(quoted(word));
    return QStringLiteral("%1 is no command and no folder (%2).")
        .arg(quoted(word), ::access(folder.c_str(), F_OK) == 0
                               ? QStringLiteral("it is not a folder")
                               : QStringLiteral("there is no %1").arg(folder.display()));
}

}  // namespace

Path currentFolder() {
    char* current = ::getcwd(nullptr, 0);
    const Path folder{QByteArray(current ? current : "/")};
    std::free(current);
    return folder;
}

StartArguments readStartArguments(const QStringList& arguments, const QStringList& commandNames,
                                  const Path& current) {
    using Kind = StartArguments::Kind;
    const QStringList rest = arguments.mid(1);
    StartArguments start;
    if (rest.isEmpty() || rest == QStringList{QStringLiteral("0")}) return start;
    if (isScheduledRunStart(arguments)) {
        start.kind = Kind::Scheduled;
        return start;
    }

    qsizetype i = 0;
    for (; i < rest.size(); ++i) {
        const QString& word = rest.at(i);
        if (word == u"--") {
            ++i;
            break;
        }
        if (!word.startsWith(u'-') || word == u"-") break;
        if (word == u"--yes") {
            start.options.yes = true;
        } else if (word == u"--dry-run") {
            start.options.dryRun = true;
        } else if (word == u"--json") {
            start.options.json = true;
        } else if (word == u"--help" || word == u"-h") {
            start.kind = Kind::Help;
            return start;
        } else if (word == u"--version") {
            start.kind = Kind::Version;
            return start;
        } else {
            return usage(QStringLiteral("unknown option %1. The options before a command are "
                                        "--yes, --dry-run and --json; a command's own options "
                                        "go after its name.")
                             .arg(quoted(word)));
        }
    }
    if (i == rest.size()) return usage(QStringLiteral("a command is missing after the options."));

    const QString& word = rest.at(i);
    if (word == u"help" && !start.options.any()) {
        // "help COMMAND" is "COMMAND --help".
        if (i + 1 < rest.size() && commandNames.contains(rest.at(i + 1))) {
            start.kind = Kind::Command;
            start.command = rest.at(i + 1);
            start.commandArguments = {QStringLiteral("--help")};
            return start;
        }
        start.kind = Kind::Help;
        return start;
    }
    if (commandNames.contains(word)) {
        start.kind = Kind::Command;
        start.command = word;
        start.commandArguments = rest.mid(i + 1);
        return start;
    }
    if (word == u"1" || word == u"0") {
        // "1" with anything else is not the crontab's line: never the unattended run.
        return usage(QStringLiteral("%1 is no command. ").arg(quoted(word)) + scheduledRunAlone);
    }
    // Folders for the window, every one of them.
    for (qsizetype k = i; k < rest.size(); ++k)
        if (const QString problem = folderProblem(rest.at(k), current, start.folders);
            !problem.isEmpty())
            return usage(problem);
    if (start.options.any())
        return usage(
            QStringLiteral("--yes, --dry-run and --json go with a command; "
                           "\u201cdesktidy FOLDER\u201d opens the window, which takes "
                           "no options."));
    return start;
}
