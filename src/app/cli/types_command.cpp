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

// "image (Images)": the category's key and the folder it files into.
QString categoryAndFolder(const Settings& settings, Category category) {
    return categoryKey(category) + QStringLiteral(" (") +
           settings.folderNames.value(int(category)) + u')';
}

QString categoryNames() {
    QStringList names;
    for (Category category : allCategories) names << categoryKey(category);
    return names.join(QStringLiteral(", "));
}

}  // namespace

QString TypesCommand::summary() const {
    return QStringLiteral(
        "[CATEGORY] | add CATEGORY TYPE [DESCRIPTION] | remove CATEGORY TYPE | which TYPE");
}

int TypesCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "Prints the type lists, or the list of CATEGORY (one of %1). An item is filed into "
            "the first category, in that order, whose list holds its type: the text after the "
            "last \u201c.\u201d of its name, letter case counted. Types shorter than two "
            "characters are never filed.\n\n"
            "  add CATEGORY TYPE [DESCRIPTION]  add an entry, TYPE such as jpg or .jpg\n"
            "  remove CATEGORY TYPE             remove the entries of TYPE\n"
            "  which TYPE                       print the category TYPE files into")
            .arg(categoryNames()));
    parser.addPositionalArgument(QStringLiteral("arguments"),
                                 QStringLiteral("A category, or add, remove or which with theirs."),
                                 QStringLiteral("[CATEGORY | add ... | remove ... | which TYPE]"));
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList positional = parser.positionalArguments();
    const QString action = positional.value(0);
    if (action == u"which") {
        if (positional.size() != 2) {
            context.err << "desktidy types: expected \u201cwhich TYPE\u201d" << Qt::endl;
            return ExitUsage;
        }
        return which(context, positional[1]);
    }
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
        << "desktidy types: expected CATEGORY, \u201cadd CATEGORY TYPE [DESCRIPTION]\u201d, "
           "\u201cremove CATEGORY TYPE\u201d or \u201cwhich TYPE\u201d"
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
    DesktidyController& controller = context.controller;
    // Added as asked, as the Setup adds it; what it will do is told.
    const Settings& settings = controller.draft();
    const QString neverMatches = whyTypeNeverMatches(type);
    const QList<Category> others = otherCategoriesListing(settings, category, type);
    bool listedHere = false;
    for (const QString& entry : settings.types(category))
        listedHere = listedHere || matchedType(entryType(entry)) == matchedType(type);
    controller.addType(category, type, arguments.mid(1).join(u' '));
    controller.saveSetup();
    if (!neverMatches.isEmpty()) {
        context.err << "desktidy types: warning: \u201c" << type
                    << "\u201d can never match: " << neverMatches << Qt::endl;
    } else if (!others.isEmpty()) {
        QStringList names;
        for (Category other : others) names << categoryKey(other);
        const std::optional<Category> files = categoryOfType(settings, type);
        context.err << "desktidy types: warning: " << type << " is listed in "
                    << names.join(QStringLiteral(", ")) << " too; items of this type go into "
                    << (files ? categoryAndFolder(settings, *files) : QString())
                    << ", the first category that lists it" << Qt::endl;
    }
    if (listedHere)
        context.err << "desktidy types: " << type << " was listed in " << categoryKey(category)
                    << " already" << Qt::endl;
    return ExitSuccess;
}

int TypesCommand::which(CommandContext& context, const QString& type) {
    if (type.isEmpty() || entryType(type) != type) {
        context.err << "desktidy types: a type is one word, such as jpg or .jpg" << Qt::endl;
        return ExitUsage;
    }
    const Settings& settings = context.controller.draft();
    if (const QString why = whyTypeNeverMatches(type); !why.isEmpty()) {
        context.err << "desktidy types: \u201c" << type << "\u201d is never filed: " << why
                    << Qt::endl;
        return ExitFailure;
    }
    const std::optional<Category> category = categoryOfType(settings, type);
    if (!category) {
        context.err << "desktidy types: no category lists " << matchedType(type)
                    << "; an item of this type stays where it is" << Qt::endl;
        return ExitFailure;
    }
    context.out << categoryAndFolder(settings, *category) << Qt::endl;
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
