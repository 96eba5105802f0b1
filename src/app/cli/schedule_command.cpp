#include "app/cli/schedule_command.h"

#include <QRegularExpression>

#include "app/desktidy_controller.h"
#include "schedule/crontab_entry.h"
#include "schedule/schedule_words.h"

namespace {

const QStringList weekdayNames = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};

// "all" is 0; otherwise a number from 1 to max.
std::optional<int> allOrNumber(const QString& text, int max) {
    if (text == u"all") return 0;
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1 || n > max) return std::nullopt;
    return n;
}

}  // namespace

QString ScheduleCommand::summary() const {
    return QStringLiteral(
        "--at HH:MM | --every N [--days all|sun,mon,... | --month M|all --day D|all]; "
        "--remove; --show");
}

int ScheduleCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the crontab entry that files every listed folder at the times given, "
        "replacing the one written before: --at or --every is needed, and the days are every "
        "day unless --days, or --month and --day, say otherwise. Nothing is taken from the "
        "schedule written before. --show prints the entry in words, with its line; --remove "
        "takes it out."));
    parser.addOptions({
        {"every", "File every N hours (1 to 23).", "N"},
        {"at", "File once a day at this time.", "HH:MM"},
        {"days", "By weekdays: all, or a list such as sun,mon,wed.", "DAYS"},
        {"month", "By month: a month number or all.", "M"},
        {"day", "By month: a day of the month or all.", "D"},
        {"remove", "Take the entry out of the crontab."},
        {"show", "Print the entry from the crontab."},
    });
    if (const auto end = parse(parser, context, arguments)) return *end;
    auto usage = [&](const QString& message) {
        context.err << "desktidy schedule: " << message << Qt::endl;
        return ExitUsage;
    };
    if (!parser.positionalArguments().isEmpty()) return usage("unexpected argument");
    DesktidyController& c = context.controller;

    if (parser.isSet("show")) {
        const auto lines = c.scheduleEntries();
        if (!lines) return ExitFailure;
        if (lines->isEmpty()) context.out << "There is no Desktidy schedule in your crontab.\n";
        for (const QByteArray& line : *lines) {
            if (const std::optional<QString> words = describeCrontabEntry(line))
                context.out << *words << ":\n";
            context.out << "  " << QString::fromLocal8Bit(line) << '\n';
        }
        return ExitSuccess;
    }
    if (parser.isSet("remove")) return statusOf(c.removeSchedule(), context);

    // Only what is given counts: a schedule is never made up of the last one's leftovers,
    // nor written when no time was asked for.
    if (!parser.isSet("every") && !parser.isSet("at"))
        return usage("give the time: --at HH:MM, or --every N hours (see schedule --help)");
    if (parser.isSet("every") && parser.isSet("at")) return usage("give --every or --at, not both");
    Schedule schedule;
    // The time of day is no part of an every-N-hours entry; the Setup keeps showing it.
    schedule.time = c.draft().schedule.time;
    if (parser.isSet("every")) {
        bool ok = false;
        const int n = parser.value("every").toInt(&ok);
        if (!ok || n < 1 || n > 23) return usage("--every takes a number of hours from 1 to 23");
        schedule.everyNHours = true;
        schedule.hoursStep = n;
    }
    if (parser.isSet("at")) {
        static const QRegularExpression time(QStringLiteral("^([01]?\\d|2[0-3]):([0-5]\\d)$"));
        const auto match = time.match(parser.value("at"));
        if (!match.hasMatch()) return usage("--at takes a time of day as HH:MM");
        schedule.everyNHours = false;
        schedule.setTimeOfDay(QTime(match.captured(1).toInt(), match.captured(2).toInt()));
    }

    const bool byMonth = parser.isSet("month") || parser.isSet("day");
    if (parser.isSet("days") && byMonth)
        return usage("give --days, or --month and --day, not both");
    if (parser.isSet("days")) {
        schedule.byWeekdays = true;
        const QString days = parser.value("days");
        if (days == u"all") {
            schedule.days.setEveryDay(true);
        } else {
            ScheduleDays chosen{.everyDay = false, .weekdays = {}};
            for (const QString& day : days.split(u',')) {
                const qsizetype i = weekdayNames.indexOf(day.trimmed().toLower());
                if (i < 0) return usage("--days takes all, or days such as sun,mon,wed");
                chosen.weekdays[i] = true;
            }
            schedule.days = chosen;
        }
    }
    if (byMonth) {
        schedule.byWeekdays = false;
        const auto month =
            allOrNumber(parser.value("month").isEmpty() ? "all" : parser.value("month"), 12);
        const auto day =
            allOrNumber(parser.value("day").isEmpty() ? "all" : parser.value("day"), 31);
        if (!month) return usage("--month takes a month from 1 to 12, or all");
        if (!day) return usage("--day takes a day from 1 to 31, or all");
        schedule.month = *month;
        schedule.monthDay = *day;
    }
    if (const QString reason = scheduleNeverRunsReason(schedule); !reason.isEmpty())
        return usage(reason);
    return statusOf(c.setSchedule(schedule), context);
}
