#include "app/cli/pack_list_command.h"

#include "app/desktidy_controller.h"

QString PackListCommand::name() const {
    return forSide(QStringLiteral("pack-list"), QStringLiteral("unpack-list"));
}

QString PackListCommand::summary() const {
    return forSide(QStringLiteral("print the pack list; add SRC DEST, remove N..., reverse, clear"),
                   QStringLiteral("print the unpack list; add SRC DEST, remove N..., clear"));
}

QString PackListCommand::usageText() const {
    return forSide(QStringLiteral("[show | add SRC DEST | remove N... | reverse | clear]"),
                   QStringLiteral("[show | add SRC DEST | remove N... | clear]"));
}

int PackListCommand::usage(CommandContext& context, const QString& problem) const {
    context.err << "desktidy " << name() << ": " << problem << Qt::endl;
    context.err << "Usage: desktidy " << name() << ' ' << usageText() << Qt::endl;
    return ExitUsage;
}

int PackListCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        forSide(QStringLiteral("Prints the pack list (row number, source, destination folder) "
                               "or edits it: \u201creverse\u201d makes the unpack list from it, "
                               "\u201cclear\u201d empties both lists."),
                QStringLiteral("Prints the unpack list (row number, source, destination folder) "
                               "or edits it: \u201cclear\u201d empties both lists.")));
    parser.addPositionalArgument(QStringLiteral("action"),
                                 QStringLiteral("What to do; none prints the list."), usageText());
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList positional = parser.positionalArguments();
    const QString action = positional.value(0, QStringLiteral("show"));
    const QStringList rest = positional.mid(1);
    const bool takesNothing = rest.isEmpty();
    DesktidyController& controller = context.controller;

    if (action == u"show" && takesNothing) return print(context);
    if (action == u"add") {
        if (rest.size() != 2) return usage(context, QStringLiteral("add takes SRC and DEST"));
        // An empty path would be taken as the current folder.
        if (rest.contains(QString()))
            return usage(context, QStringLiteral("SRC and DEST must not be empty"));
        return add(context, rest);
    }
    if (action == u"remove") {
        if (rest.isEmpty()) return usage(context, QStringLiteral("remove takes row numbers"));
        return remove(context, rest);
    }
    if (action == u"reverse" && side_ == PackSide::Pack && takesNothing) {
        controller.reversePackList();
        controller.saveSetup();
        return ExitSuccess;
    }
    if (action == u"clear" && takesNothing) {
        controller.clearPackLists();
        controller.saveSetup();
        context.err << "Emptied the pack list and the unpack list." << Qt::endl;
        return ExitSuccess;
    }
    return usage(context, QStringLiteral("unexpected \u201c%1\u201d").arg(positional.join(u' ')));
}

int PackListCommand::print(CommandContext& context) const {
    const QList<PackRow>& list = context.controller.packRows(side_);
    for (qsizetype i = 0; i < list.size(); ++i)
        context.out << (i + 1) << '\t' << Path::fromText(list[i].source).display() << '\t'
                    << Path::fromText(list[i].destination).display() << '\n';
    return ExitSuccess;
}

int PackListCommand::add(CommandContext& context, const QStringList& paths) {
    // The arguments stand for the two open panels, which give only absolute paths of an
    // existing item and an existing folder.
    const Path source = pathArgument(paths.at(0));
    const Path destination = pathArgument(paths.at(1));
    for (const Path& path : {source, destination}) {
        if (!path.toText()) {
            context.err << "desktidy " << name() << ": \u201c" << path.display()
                        << "\u201d is not UTF-8 text, which the list is kept as" << Qt::endl;
            return ExitUsage;
        }
    }
    if (!context.controller.services().files.exists(source)) {
        context.err << "desktidy " << name() << ": \u201c" << source.display()
                    << "\u201d does not exist" << Qt::endl;
        return ExitFailure;
    }
    if (!isFolderOrLinkToOne(destination)) {
        context.err << "desktidy " << name() << ": \u201c" << destination.display()
                    << "\u201d is not a folder" << Qt::endl;
        return ExitFailure;
    }
    // A row a run would refuse (the root as its source, a copy that would replace the
    // home folder) is refused now, with the reason.
    if (context.controller.addPackRow(side_, {*source.toText(), *destination.toText()}) !=
        RunResult::Done)
        return ExitUsage;
    context.controller.saveSetup();
    return ExitSuccess;
}

int PackListCommand::remove(CommandContext& context, const QStringList& numbers) {
    const qsizetype count = context.controller.packRows(side_).size();
    QList<int> indexes;
    for (const QString& number : numbers) {
        bool ok = false;
        const int row = number.toInt(&ok);
        if (!ok || row < 1 || row > count)
            return usage(context, QStringLiteral("\u201c%1\u201d is not a row number (the list "
                                                 "has %2 rows)")
                                      .arg(number)
                                      .arg(count));
        indexes.append(row - 1);
    }
    context.controller.removePackRows(side_, indexes);
    context.controller.saveSetup();
    return ExitSuccess;
}
