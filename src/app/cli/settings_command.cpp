#include "app/cli/settings_command.h"

#include "app/desktidy_controller.h"

QString SettingsCommand::summary() const {
    return QStringLiteral("[show | reset]: print every stored setting, or restore the defaults");
}

int SettingsCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints every stored setting, or restores the defaults (keeping the folder list, the "
        "pack lists and the schedule)."));
    parser.addPositionalArgument(QStringLiteral("action"),
                                 QStringLiteral("show (the default) or reset."),
                                 QStringLiteral("[show | reset]"));
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList positional = parser.positionalArguments();
    const QString action = positional.value(0, QStringLiteral("show"));
    if (positional.size() > 1 || (action != u"show" && action != u"reset")) {
        context.err << "desktidy settings: expected \u201cshow\u201d or \u201creset\u201d"
                    << Qt::endl;
        return ExitUsage;
    }
    if (action == u"reset") {
        context.controller.resetSetup();
        return ExitSuccess;
    }
    // The values in use, as a save would store them: a key the file lacks or could not
    // read shows what stands in for it.
    for (const auto& [key, value] : SettingsStore::storedForm(context.controller.saved())) {
        if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList) {
            context.out << key << ":\n";
            for (const QString& item : value.toStringList()) context.out << "  " << item << '\n';
        } else {
            context.out << key << ": " << value.toString() << '\n';
        }
    }
    return ExitSuccess;
}
