#include "app/cli/watch_command.h"

#include "app/desktidy_controller.h"
#include "app/watch_session.h"

namespace {

constexpr double longestSettle = 86400;

}  // namespace

QString WatchCommand::summary() const {
    return QStringLiteral(
        "[--settle SECONDS] [--existing] [FOLDER...]: file new items as they arrive; "
        "--install, --uninstall");
}

int WatchCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Watches the folders (by default those of the folder list) and files each new item "
        "once it has settled: unchanged for the settle time, open for writing nowhere, and "
        "no partial download. Runs until SIGINT or SIGTERM; one result line per batch."));
    const QCommandLineOption settle(
        QStringLiteral("settle"),
        QStringLiteral("Seconds an item must stay unchanged (default: the setting, 5)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption existing(
        QStringLiteral("existing"),
        QStringLiteral("File the items already there at the start too."));
    const QCommandLineOption install(
        QStringLiteral("install"),
        QStringLiteral("Have your service manager run the watch from now on (systemd --user)."));
    const QCommandLineOption uninstall(QStringLiteral("uninstall"),
                                       QStringLiteral("Stop that and take it out."));
    parser.addOptions({settle, existing, install, uninstall});
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("A folder to watch."),
                                 QStringLiteral("[FOLDER...]"));
    if (const auto end = parse(parser, context, arguments)) return *end;
    auto usage = [&](const QString& message) {
        context.err << "desktidy watch: " << message << Qt::endl;
        return int(ExitUsage);
    };
    DesktidyController& controller = context.controller;

    if (parser.isSet(install) || parser.isSet(uninstall)) {
        if (parser.isSet(install) && parser.isSet(uninstall))
            return usage(QStringLiteral("give --install or --uninstall, not both"));
        if (parser.isSet(settle) || parser.isSet(existing) ||
            !parser.positionalArguments().isEmpty())
            return usage(QStringLiteral(
                "--install and --uninstall take nothing else: the service watches the folder "
                "list, with the settle time of the settings"));
        return statusOf(
            parser.isSet(install) ? controller.startWatchService() : controller.stopWatchService(),
            context);
    }

    WatchSession::Options options;
    options.fileExisting = parser.isSet(existing);
    if (parser.isSet(settle)) {
        bool ok = false;
        const double seconds = parser.value(settle).toDouble(&ok);
        if (!ok || !(seconds > 0) || seconds > longestSettle)
            return usage(QStringLiteral("--settle takes a number of seconds above 0, up to a day"));
        options.settleSeconds = seconds;
    }
    for (const QString& folder : parser.positionalArguments()) {
        if (folder.isEmpty()) return usage(QStringLiteral("a folder cannot be empty"));
        options.folders << pathArgument(folder);
    }
    WatchSession session(controller, context.out, context.err, std::move(options));
    return session.run();
}
