#include "app/cli/trash_command.h"

#include "app/cli/command_line.h"
#include "app/desktidy_controller.h"
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
        for (const Path& path : controller.trashItems())
            context.out << controller.itemLabel(path) << "\n\n";
        return ExitSuccess;
    }
    if (positional.first() != u"delete") {
        context.err << "desktidy trash: expected \u201cdelete\u201d" << Qt::endl;
        return ExitUsage;
    }

    // Deleting for good takes the names of what goes: none, or an empty one, names nothing.
    if (positional.size() < 2 || positional.mid(1).contains(QString())) {
        context.err << "desktidy trash: \u201cdelete\u201d takes the names of the items to "
                       "delete (\u201cdesktidy trash\u201d lists them)"
                    << Qt::endl;
        return ExitUsage;
    }
    // A bare name, or a path of an item directly in the Trash; nothing else. Either is
    // taken by its bytes.
    QList<Path> chosen;
    for (const QString& name : positional.mid(1)) {
        const QByteArray bytes = bytesOfText(name);
        const Path path = bytes.contains('/') ? pathArgument(name) : trash.files() / bytes;
        if (!isDirectlyInTrash(path, trash)) {
            context.err << "desktidy trash: \u201c" << displayName(bytes)
                        << "\u201d is not an item directly in the Trash ("
                        << trash.files().display() << ")" << Qt::endl;
            return ExitUsage;
        }
        if (!controller.services().files.exists(path)) {
            context.err << "desktidy trash: there is no item \u201c" << displayName(bytes)
                        << "\u201d in the Trash" << Qt::endl;
            return ExitFailure;
        }
        chosen.append(path);
    }
    return statusOf(controller.deleteTrashItems(chosen), context);
}
