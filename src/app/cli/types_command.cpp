#include "app/cli/types_command.h"

#include "app/desktidy_controller.h"
#include "filing/type_table.h"

namespace {

// The category named "audio" ... "words", in any case.
std::optional<Category> categoryNamed(const QString& text) {
    for (Category category : allCategories)
        if (text.compare(categoryKey(category), Qt::CaseInsensitive) == 0) return category;
    return std::nullopt;
}

QString categoryNames() {
    QStringList names;
    for (Category category : allCategories) names << categoryKey(category);
    return names.join(QStringLiteral(", "));
}

}  // namespace

QString TypesCommand::summary() const {
    return QStringLiteral("[CATEGORY] | add CATEGORY TYPE [DESCRIPTION] | remove CATEGORY TYPE");
}

int TypesCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("arguments"), QStringLiteral("see --help"),
                                 QStringLiteral("[CATEGORY | add ... | remove ...]"));
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList positional = parser.positionalArguments();
    const QString action = positional.value(0);
    const bool edits = action == u"add" || action == u"remove";
    const std::optional<Category> category = categoryNamed(positional.value(edits ? 1 : 0));

    if (positional.isEmpty()) return print(context, std::nullopt);
    if (!category) {
        context.err << "desktidy types: expected a category: " << categoryNames() << Qt::endl;
        return ExitUsage;
    }
    if (!edits && positional.size() == 1) return print(context, category);
    if (action == u"add" && positional.size() >= 3)
        return add(context, *category, positional.mid(2));
    if (action == u"remove" && positional.size() == 3)
        return remove(context, *category, positional[2]);
    context.err
        << "desktidy types: expected CATEGORY, \u201cadd CATEGORY TYPE [DESCRIPTION]\u201d or "
           "\u201cremove CATEGORY TYPE\u201d"
        << Qt::endl;
    return ExitUsage;
}

int TypesCommand::print(CommandContext& context, std::optional<Category> category) {
    const Settings& settings = context.controller.draft();
    if (category) {
        for (const QString& entry : settings.types(*category)) context.out << entry << '\n';
        return ExitSuccess;
    }
    for (Category each : allCategories) {
        context.out << categoryKey(each) << " (" << settings.folderNames.value(int(each)) << "):\n";
        for (const QString& entry : settings.types(each)) context.out << "  " << entry << '\n';
    }
    return ExitSuccess;
}

int TypesCommand::add(CommandContext& context, Category category, const QStringList& arguments) {
    const QString type = arguments.first();
    // Only the text before the first space is matched, so a type holds none.
    if (type.isEmpty() || entryType(type) != type) {
        context.err << "desktidy types: a type is one word, such as jpg or .jpg" << Qt::endl;
        return ExitUsage;
    }
    context.controller.addType(category, type, arguments.mid(1).join(u' '));
    context.controller.saveSetup();
    return ExitSuccess;
}

int TypesCommand::remove(CommandContext& context, Category category, const QString& type) {
    DesktidyController& controller = context.controller;
    const QStringList& types = controller.draft().types(category);
    QList<int> rows;
    for (int row = 0; row < types.size(); ++row)
        if (entryType(types[row]) == type) rows << row;
    if (rows.isEmpty()) {
        context.err << "desktidy types: " << categoryKey(category) << " lists no type " << type
                    << Qt::endl;
        return ExitFailure;
    }
    controller.removeTypes(category, rows);
    controller.saveSetup();
    return ExitSuccess;
}
