#include "app/cli/rename_command.h"

#include "app/desktidy_controller.h"

namespace {

struct Flag {
    const char* name;
    bool NameChangeOptions::*check;
    const char* help;
};

const Flag flags[] = {
    {"prefix-number", &NameChangeOptions::prefixNumberCheck,
     "Put the running number (0, 1, ...) in front, before the prefix text."},
    {"prefix-number2", &NameChangeOptions::prefixNumber2Check,
     "Put the running number between the prefix text and the name."},
    {"suffix-number", &NameChangeOptions::suffixNumberCheck,
     "Put the running number right after the name, before the suffix text."},
    {"suffix-number2", &NameChangeOptions::suffixNumber2Check,
     "Put the running number at the very end."},
    {"remove-spaces", &NameChangeOptions::removeSpacesCheck, "Delete every space."},
    {"remove-numbers", &NameChangeOptions::removeNumbersCheck, "Delete every digit 0-9."},
};

int usageError(CommandContext& context, const QString& message) {
    context.err << "desktidy rename: " << message << Qt::endl;
    return ExitUsage;
}

}  // namespace

QString RenameCommand::summary() const {
    return QStringLiteral("[FOLDER] rules: rename every item of the folder (see rename --help)");
}

int RenameCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Renames the items of FOLDER (default: the working folder) in this order: replace, "
        "prefix, suffix, remove spaces, remove digits, change case. Running numbers follow "
        "the listing order and start at 0. Nothing is ever replaced."));
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("The folder."),
                                 QStringLiteral("[FOLDER]"));
    const QCommandLineOption replace(QStringLiteral("replace"),
                                     QStringLiteral("Replace every occurrence of TEXT."),
                                     QStringLiteral("TEXT"));
    const QCommandLineOption with(QStringLiteral("with"),
                                  QStringLiteral("What replaces it (default: nothing)."),
                                  QStringLiteral("TEXT"));
    const QCommandLineOption ignoreCase(QStringLiteral("ignore-case"),
                                        QStringLiteral("Find the text regardless of case."));
    const QCommandLineOption prefix(QStringLiteral("prefix"),
                                    QStringLiteral("Put TEXT in front of every name."),
                                    QStringLiteral("TEXT"));
    const QCommandLineOption suffix(QStringLiteral("suffix"),
                                    QStringLiteral("Put TEXT after every name (after the "
                                                   "extension)."),
                                    QStringLiteral("TEXT"));
    const QCommandLineOption upper(QStringLiteral("upper"), QStringLiteral("Upper-case names."));
    const QCommandLineOption lower(QStringLiteral("lower"), QStringLiteral("Lower-case names."));
    const QCommandLineOption folders(QStringLiteral("folders"),
                                     QStringLiteral("Rename folders too (default: files only)."));
    parser.addOptions({replace, with, ignoreCase, prefix, suffix, upper, lower, folders});
    for (const Flag& flag : flags)
        parser.addOption({QString::fromLatin1(flag.name), QString::fromLatin1(flag.help)});
    if (const auto end = parseAtMostOne(parser, context, arguments, QStringLiteral("folder")))
        return *end;

    const QStringList positional = parser.positionalArguments();
    if ((parser.isSet(with) || parser.isSet(ignoreCase)) && !parser.isSet(replace))
        return usageError(context, QStringLiteral("--with and --ignore-case need --replace"));
    if (parser.isSet(upper) && parser.isSet(lower))
        return usageError(context, QStringLiteral("choose --upper or --lower, not both"));

    DesktidyController& controller = context.controller;
    const std::optional<Path> given =
        positional.isEmpty() ? controller.workingFolder() : pathFrom(context, positional.first());
    if (!given) return ExitUsage;
    const Path& folder = *given;
    if (const QString why = whyNotAFolder(folder); !why.isEmpty()) {
        context.err << "desktidy rename: " << why << Qt::endl;
        return ExitFailure;
    }

    NameChangeOptions options;
    options.replaceCheck = parser.isSet(replace);
    options.replace1TextField = parser.value(replace);
    options.replace2TextField = parser.value(with);
    options.ignoreCaseCheck = parser.isSet(ignoreCase);
    options.prefixStringCheck = parser.isSet(prefix);
    options.prefixTextField = parser.value(prefix);
    options.suffixStringCheck = parser.isSet(suffix);
    options.suffixTextField = parser.value(suffix);
    for (const Flag& flag : flags)
        options.*flag.check = parser.isSet(QString::fromLatin1(flag.name));
    options.caseCheck = parser.isSet(upper) || parser.isSet(lower);
    options.lowerCase = parser.isSet(lower);
    options.foldersToo = parser.isSet(folders);
    if (context.dryRun) return printPlan(controller.planChangeNames(folder, options), context);
    return statusOf(controller.changeNames(folder, options), context);
}
