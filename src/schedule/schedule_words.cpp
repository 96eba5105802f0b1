#include "schedule/schedule_words.h"

#include <QList>
#include <QStringList>

namespace {

// A whole number from low to high, or nullopt.
std::optional<int> numberIn(const QByteArray& text, int low, int high) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < low || n > high || text.startsWith('+') || text.startsWith('-'))
        return std::nullopt;
    return n;
}

QString ordinal(int n) {
    const int tens = n % 100, ones = n % 10;
    const char* suffix = (tens >= 11 && tens <= 13) ? "th"
                         : ones == 1                ? "st"
                         : ones == 2                ? "nd"
                         : ones == 3                ? "rd"
                                                    : "th";
    return QString::number(n) + QLatin1String(suffix);
}

// "a, b and c".
QString listed(const QStringList& items) {
    if (items.size() < 2) return items.value(0);
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           items.last();
}

const char* const monthNames[] = {"January",   "February", "March",    "April",
                                  "May",       "June",     "July",     "August",
                                  "September", "October",  "November", "December"};
// Day-of-week numbers as cron reads them: 0 and 7 Sunday, 1 Monday ... 6 Saturday.
const char* const dayNames[] = {"Sundays",   "Mondays", "Tuesdays", "Wednesdays",
                                "Thursdays", "Fridays", "Saturdays"};

// The days of the entry in words: "every day", "on Mondays and Fridays", "on the 15th of
// every month", "every day in March", "on 15 March".
std::optional<QString> daysInWords(const QByteArray& monthDay, const QByteArray& month,
                                   const QByteArray& weekdays) {
    if (weekdays != "*") {
        if (monthDay != "*" || month != "*") return std::nullopt;
        QStringList days;
        QList<int> seen;
        for (const QByteArray& day : weekdays.split(',')) {
            const std::optional<int> n = numberIn(day, 0, 7);
            if (!n || seen.contains(*n % 7)) return std::nullopt;
            seen << *n % 7;
            days << QLatin1String(dayNames[*n % 7]);
        }
        if (days.size() == 7) return QStringLiteral("every day");
        return QStringLiteral("on ") + listed(days);
    }
    const std::optional<int> day = monthDay == "*" ? 0 : numberIn(monthDay, 1, 31);
    const std::optional<int> inMonth = month == "*" ? 0 : numberIn(month, 1, 12);
    if (!day || !inMonth) return std::nullopt;
    if (*day == 0 && *inMonth == 0) return QStringLiteral("every day");
    if (*inMonth == 0) return QStringLiteral("on the %1 of every month").arg(ordinal(*day));
    const QString monthName = QLatin1String(monthNames[*inMonth - 1]);
    if (*day == 0) return QStringLiteral("every day in ") + monthName;
    return QStringLiteral("on %1 %2").arg(*day).arg(monthName);
}

}  // namespace

std::optional<QString> describeCrontabEntry(const QByteArray& line) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() < 6) return std::nullopt;
    const std::optional<QString> days = daysInWords(fields[2], fields[3], fields[4]);
    if (!days) return std::nullopt;
    QString when;
    const bool everyDay = *days == u"every day";
    if (fields[1].startsWith("*/")) {
        const std::optional<int> step = numberIn(fields[1].mid(2), 1, 23);
        if (!step || fields[0] != "0") return std::nullopt;
        when =
            *step == 1 ? QStringLiteral("every hour") : QStringLiteral("every %1 hours").arg(*step);
        if (!everyDay) when += QStringLiteral(", ") + *days;
    } else {
        const std::optional<int> minute = numberIn(fields[0], 0, 59);
        const std::optional<int> hour = numberIn(fields[1], 0, 23);
        if (!minute || !hour) return std::nullopt;
        const QString time = QStringLiteral("at %1:%2")
                                 .arg(*hour, 2, 10, QChar(u'0'))
                                 .arg(*minute, 2, 10, QChar(u'0'));
        when = *days + u' ' + time;
    }
    return QStringLiteral("Files your listed folders ") + when;
}
