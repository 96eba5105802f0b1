#include "app/cli/folders_command.h"

#include "app/desktidy_controller.h"

QString FoldersCommand::summary() const {
    return QStringLiteral(
        "[add PATH... | remove PATH...]: print or edit the folders filed in one go");
}

int FoldersCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the list of folders that \u201cfile --all\u201d, \u201cunfile --all\u201d and "
        "the schedule file, one a line; \u201cadd\u201d and \u201cremove\u201d edit it."));
    parser.addPositionalArgument(QStringLiteral("action"),
                                 QStringLiteral("add or remove; none prints the list."),
                                 QStringLiteral("[add | remove"));
    parser.addPositionalArgument(QStringLiteral("paths"), QStringLiteral("Folders."),
                                 QStringLiteral("PATH...]"));
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        for (const QString& folder : context.controller.draft().listedFolders)
            context.out << Path::fromText(folder).display() << '\n';
        return ExitSuccess;
    }
    const QString action = positional.first();
    const QStringList paths = positional.mid(1);
    if ((action != u"add" && action != u"remove") || paths.isEmpty()) {
        context.err << "desktidy folders: expected \u201cadd PATH...\u201d or \u201cremove "
                       "PATH...\u201d"
                    << Qt::endl;
        return ExitUsage;
    }
    return action == u"add" ? add(context, paths) : remove(context, paths);
}

int FoldersCommand::add(CommandContext& context, const QStringList& paths) {
    QList<Path> folders;
    for (const QString& path : paths) {
        const std::optional<Path> folder = pathFrom(context, path);
        if (!folder) return ExitUsage;
        if (!folder->toText()) {
            context.err << "desktidy folders: \u201c" << folder->display()
                        << "\u201d is not UTF-8 text, which the folder list is kept as" << Qt::endl;
            return ExitUsage;
        }
        if (!isFolderOrLinkToOne(*folder)) {
            context.err << "desktidy folders: not a folder: " << folder->display() << Qt::endl;
            return ExitFailure;
        }
        folders << *folder;
    }
    // The root and a folder listed already are refused, with the reason, and then none.
    if (context.controller.addFolders(folders) != RunResult::Done) return ExitUsage;
    context.controller.saveSetup();
    return ExitSuccess;
}

int FoldersCommand::remove(CommandContext& context, const QStringList& paths) {
    const QStringList& listed = context.controller.draft().listedFolders;
    QList<int> rows;
    for (const QString& path : paths) {
        const std::optional<Path> given = pathFrom(context, path);
        if (!given) return ExitUsage;
        const Path& folder = *given;
        bool found = false;
        for (int row = 0; row < listed.size(); ++row) {
            if (listed[row] == path || Path::fromText(listed[row]).cleaned() == folder) {
                rows << row;
                found = true;
            }
        }
        if (!found) {
            context.err << "desktidy folders: not in the folder list: " << folder.display()
                        << Qt::endl;
            return ExitFailure;
        }
    }
    context.controller.removeFolders(rows);
    context.controller.saveSetup();
    return ExitSuccess;
}
