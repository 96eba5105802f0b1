#include "app/cli/archive_date_command.h"

#include "app/desktidy_controller.h"
#include "filing/archive_date.h"

namespace {

const QString none = QStringLiteral("None");

// A pop-up title for a number from 1 to last written with one or two digits ("7" or
// "07" give "07"); empty when the text is not one.
QString twoDigitTitle(const QString& text, int last) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || text.size() > 2 || !text.at(0).isDigit() || n < 1 || n > last) return {};
    return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0'));
}

}  // namespace

QString ArchiveDateCommand::summary() const {
    return QStringLiteral("[none | YYYY [MM [DD]]]: print or set the day items are archived up to");
}

int ArchiveDateCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints or sets the day up to which filing archives items first: items last changed "
        "on or before it go into the archive folder, sorted by category. \u201cnone\u201d "
        "turns archiving off."));
    parser.addPositionalArgument(QStringLiteral("date"),
                                 QStringLiteral("none, or a year with a month and a day; none "
                                                "given prints it."),
                                 QStringLiteral("[none | YYYY [MM [DD]]]"));
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList date = parser.positionalArguments();
    DesktidyController& controller = context.controller;
    if (date.isEmpty()) {
        const ArchiveDate& shown = controller.draft().archiveDate;
        context.out << describeArchiveDate(shown.year, shown.month, shown.day) << '\n';
        return ExitSuccess;
    }

    QString year = none, month = none, day = none;
    bool valid = date.size() <= 3;
    if (date.size() == 1 && date[0].compare(none, Qt::CaseInsensitive) == 0) {
        // Archiving off: all three pop-ups back to "None".
    } else if (valid) {
        year = date[0];
        if (date.size() > 1) valid = !(month = twoDigitTitle(date[1], 12)).isEmpty();
        if (valid && date.size() > 2) valid = !(day = twoDigitTitle(date[2], 31)).isEmpty();
        // A four-digit year and a day the calendar has: anything else would archive nothing.
        valid = valid &&
                ArchiveCutoff::fromTitles(year, month, day).state == ArchiveCutoff::State::Valid;
    }
    if (!valid) {
        context.err << "desktidy archive-date: expected \u201cnone\u201d or a date YYYY [MM [DD]], "
                       "such as 2023 06 30"
                    << Qt::endl;
        return ExitUsage;
    }
    controller.draft().archiveDate = ArchiveDate{month, day, year};
    controller.saveSetup();
    return ExitSuccess;
}
