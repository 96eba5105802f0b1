#include "app/cli/types_command.h"

#include "app/desktidy_controller.h"
#include "filing/type_table.h"

namespace {

// 1 to 8 for "audio" ... "words" (any case), else 0.
int categoryNamed(const QString& text) {
    for (int k = 1; k <= Settings::categoryCount; ++k)
        if (text.compare(Settings::typeKey(k), Qt::CaseInsensitive) == 0) return k;
    return 0;
}

QString categoryNames() {
    QStringList names;
    for (int k = 1; k <= Settings::categoryCount; ++k) names << Settings::typeKey(k);
    return names.join(QStringLiteral(", "));
}

// Selects the category's row in the category table, which loads its list for editing.
void selectCategory(DesktidyController& controller, int category) {
    controller.form.folderTableViewSelectedRow = category;
    controller.setTypeArray();
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
    const int category = categoryNamed(positional.value(edits ? 1 : 0));

    if (positional.isEmpty()) return print(context, 0);
    if (category == 0) {
        context.err << "desktidy types: expected a category: " << categoryNames() << Qt::endl;
        return ExitUsage;
    }
    if (!edits && positional.size() == 1) return print(context, category);
    if (action == u"add" && positional.size() >= 3)
        return add(context, category, positional.mid(2));
    if (action == u"remove" && positional.size() == 3)
        return remove(context, category, positional[2]);
    context.err
        << "desktidy types: expected CATEGORY, \u201cadd CATEGORY TYPE [DESCRIPTION]\u201d or "
           "\u201cremove CATEGORY TYPE\u201d"
        << Qt::endl;
    return ExitUsage;
}

int TypesCommand::print(CommandContext& context, int category) {
    const Settings& settings = context.controller.settings;
    if (category != 0) {
        for (const QString& entry : *settings.typeList(category)) context.out << entry << '\n';
        return ExitSuccess;
    }
    for (int k = 1; k <= Settings::categoryCount; ++k) {
        context.out << Settings::typeKey(k) << " (" << settings.fileFoldersArray.value(k) << "):\n";
        for (const QString& entry : *settings.typeList(k)) context.out << "  " << entry << '\n';
    }
    return ExitSuccess;
}

int TypesCommand::add(CommandContext& context, int category, const QStringList& arguments) {
    const QString type = arguments.first();
    // Only the text before the first space is matched, so a type holds none.
    if (type.isEmpty() || entryType(type) != type) {
        context.err << "desktidy types: a type is one word, such as jpg or .jpg" << Qt::endl;
        return ExitUsage;
    }
    selectCategory(context.controller, category);
    context.controller.doType(type, arguments.mid(1).join(u' '));
    context.controller.saveSetup();
    return ExitSuccess;
}

int TypesCommand::remove(CommandContext& context, int category, const QString& type) {
    DesktidyController& controller = context.controller;
    selectCategory(controller, category);
    QList<int> rows;
    for (int row = 0; row < controller.settings.fileTypesArray.size(); ++row)
        if (entryType(controller.settings.fileTypesArray[row]) == type) rows << row;
    if (rows.isEmpty()) {
        context.err << "desktidy types: " << Settings::typeKey(category) << " lists no type "
                    << type << Qt::endl;
        return ExitFailure;
    }
    controller.delType(rows);
    controller.saveSetup();
    return ExitSuccess;
}
