#include "app/cli/trash_command.h"

#include <QDir>

#include "app/desktidy_controller.h"
#include "platform/preset_path_chooser.h"
#include "trash/trash_emptying.h"
#include "trash/trash_records.h"

QString TrashCommand::summary() const {
    return QStringLiteral("[delete NAME...]: list the Trash, or delete items of it for good");
}

int TrashCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("action"), QStringLiteral("delete"));
    parser.addPositionalArgument(QStringLiteral("names"), QStringLiteral("items of the Trash"),
                                 QStringLiteral("[NAME...]"));
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList positional = parser.positionalArguments();
    DesktidyController& controller = context.controller;
    const TrashLocation trash = controller.trashLocation();

    if (positional.isEmpty()) {
        for (const QString& path : trashItemPaths(trash, controller.services.files))
            context.out << controller.makeDelAppPath(path) << "\n\n";
        return ExitSuccess;
    }
    if (positional.first() != u"delete") {
        context.err << "desktidy trash: expected \u201cdelete\u201d" << Qt::endl;
        return ExitUsage;
    }

    // A bare name, or a path of an item directly in the Trash; nothing else.
    QStringList chosen;
    for (const QString& name : positional.mid(1)) {
        const QString path = name.contains(u'/')
                                 ? QDir::cleanPath(QDir::current().absoluteFilePath(name))
                                 : joinPath(trash.files(), name);
        if (!isDirectlyInTrash(path, trash)) {
            context.err << "desktidy trash: \u201c" << name
                        << "\u201d is not an item directly in the Trash (" << trash.files() << ")"
                        << Qt::endl;
            return ExitUsage;
        }
        if (!isExactName(path)) {
            context.err << "desktidy trash: \u201c" << name
                        << "\u201d cannot be named exactly (bytes that are not UTF-8 read as "
                           "U+FFFD, which could name another item); nothing was deleted"
                        << Qt::endl;
            return ExitFailure;
        }
        if (!controller.services.files.exists(path)) {
            context.err << "desktidy trash: there is no item \u201c" << name
                        << "\u201d in the Trash" << Qt::endl;
            return ExitFailure;
        }
        chosen.append(path);
    }
    // Naming nothing is choosing nothing.
    context.chooser.setNextAnswer(chosen.isEmpty() ? QStringList{trash.files()} : chosen);
    return statusOf(controller.emptyTrash(), context);
}
