#include "app/cli/trash_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/cli/command_line.h"
#include "app/desktidy_controller.h"
#include "trash/trash_names.h"
#include "trash/trash_records.h"

namespace {

QJsonValue pathJson(const Path& path) {
    return path.isEmpty() ? QJsonValue() : QJsonValue(textKeepingBytes(path.bytes()));
}

QJsonObject entryJson(const TrashEntry& entry) {
    return {{"name", textKeepingBytes(entry.path.fileName())},
            {"path", pathJson(entry.path)},
            {"original_path", pathJson(entry.originalPath)},
            {"deleted", entry.deletionDate.isValid()
                            ? QJsonValue(entry.deletionDate.toString(Qt::ISODate))
                            : QJsonValue()},
            {"bytes", qint64(entry.bytes)},
            {"size", entry.sizeLabel}};
}

}  // namespace

QString TrashCommand::summary() const {
    return QStringLiteral(
        "[delete | restore NAME...]: list the Trash, delete items of it for good, or put "
        "them back");
}

int TrashCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lists the items of the Trash, newest first: when each was deleted, its size, its name "
        "in the Trash and where it came from. \u201cdelete\u201d deletes the named items for "
        "good, after asking; \u201crestore\u201d puts them back where they came from, after "
        "asking (an item whose place is taken stays in the Trash, a missing folder on the way "
        "is made; undo puts them back in the Trash).\n\nA NAME is an item's name in the Trash, "
        "the name it had, its path in the Trash or the path it came from. A name that picks "
        "more than one item is refused, with the items it picks."));
    parser.addPositionalArgument(QStringLiteral("action"),
                                 QStringLiteral("delete or restore; none lists the Trash."),
                                 QStringLiteral("[delete | restore"));
    parser.addPositionalArgument(QStringLiteral("names"), QStringLiteral("Items of the Trash."),
                                 QStringLiteral("NAME...]"));
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList positional = parser.positionalArguments();
    const QString action = positional.value(0);
    if (positional.isEmpty()) return list(context);
    if (action != u"delete" && action != u"restore") {
        context.err << "desktidy trash: expected \u201cdelete\u201d or \u201crestore\u201d"
                    << Qt::endl;
        return ExitUsage;
    }
    if (context.dryRun && action != u"restore") {
        context.err << "desktidy trash: --dry-run is for \u201ctrash restore\u201d" << Qt::endl;
        return ExitUsage;
    }
    // Deleting or putting back takes the names of the items: none, or an empty one, names
    // nothing.
    if (positional.size() < 2 || positional.mid(1).contains(QString())) {
        context.err << "desktidy trash: \u201c" << action
                    << "\u201d takes the names of the items to "
                    << (action == u"delete" ? "delete" : "put back")
                    << " (\u201cdesktidy trash\u201d lists them)" << Qt::endl;
        return ExitUsage;
    }
    int status = ExitSuccess;
    const std::optional<QList<Path>> items = itemsNamed(context, positional.mid(1), status);
    if (!items) return status;
    DesktidyController& controller = context.controller;
    if (action == u"restore") {
        if (context.dryRun) return printPlan(controller.planRestore(*items), context);
        return statusOf(controller.restoreTrashItems(*items), context);
    }
    return statusOf(controller.deleteTrashItems(*items), context);
}

int TrashCommand::list(CommandContext& context) {
    if (context.dryRun) {
        context.err << "desktidy trash: --dry-run is for \u201ctrash restore\u201d" << Qt::endl;
        return ExitUsage;
    }
    const QList<TrashEntry> entries = context.controller.trashListing();
    if (context.json) {
        QJsonArray items;
        for (const TrashEntry& entry : entries) items.append(entryJson(entry));
        context.out << QJsonDocument(QJsonObject{{"items", items}}).toJson(QJsonDocument::Compact)
                    << Qt::endl;
        return ExitSuccess;
    }
    if (entries.isEmpty()) context.err << "The Trash is empty." << Qt::endl;
    for (const TrashEntry& entry : entries) context.out << trashListingLine(entry) << '\n';
    context.out.flush();
    return ExitSuccess;
}

std::optional<QList<Path>> TrashCommand::itemsNamed(CommandContext& context,
                                                    const QStringList& names, int& status) {
    DesktidyController& controller = context.controller;
    const TrashLocation trash = controller.trashLocation();
    // Names pick items by their records alone: no item is measured.
    const QList<TrashEntry> entries = controller.trashListing(TrashSizes::Left);
    QList<Path> items;
    for (const QString& name : names) {
        const QByteArray bytes = bytesOfText(name);
        const Path path = bytes.contains('/') ? pathArgument(name) : Path();
        // Inside the Trash only its items themselves are named; nothing else there.
        const QByteArray trashFolder = trash.folder.cleaned().bytes() + '/';
        if (!path.isEmpty() && path.bytes().startsWith(trashFolder) &&
            !isDirectlyInTrash(path, trash)) {
            context.err << "desktidy trash: \u201c" << displayName(bytes)
                        << "\u201d is not an item directly in the Trash ("
                        << trash.files().display() << ")" << Qt::endl;
            status = ExitUsage;
            return std::nullopt;
        }
        const QList<TrashEntry> picked = trashEntriesNamed(entries, bytes, path);
        if (picked.isEmpty()) {
            context.err << "desktidy trash: there is no item \u201c" << displayName(bytes)
                        << "\u201d in the Trash" << Qt::endl;
            status = ExitFailure;
            return std::nullopt;
        }
        if (picked.size() > 1) {
            context.err << "desktidy trash: \u201c" << displayName(bytes) << "\u201d names "
                        << picked.size()
                        << " items of the Trash; give the one you mean by the path it came "
                           "from or its path in the Trash:"
                        << Qt::endl;
            for (const TrashEntry& entry : picked) {
                context.err << "  " << entry.path.display() << "  (";
                if (!entry.originalPath.isEmpty())
                    context.err << "from " << entry.originalPath.display() << ", ";
                context.err << "deleted "
                            << (entry.deletionDate.isValid()
                                    ? entry.deletionDate.toString(
                                          QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                    : QStringLiteral("at an unknown time"))
                            << ")" << Qt::endl;
            }
            status = ExitUsage;
            return std::nullopt;
        }
        items << picked.first().path;
    }
    return items;
}
