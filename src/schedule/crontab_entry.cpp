#include "schedule/crontab_entry.h"

#include <QStringList>

namespace {

bool isShellSpecial(QChar c) {
    static const QString special = QStringLiteral(" \t!\"#$&'()*,;<=>?[\\]^`{|}~%");
    return special.contains(c);
}

}  // namespace

QString escapeForCrontab(const QString& text) {
    QString escaped;
    escaped.reserve(text.size() * 2);
    for (QChar c : text) {
        if (isShellSpecial(c)) escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

std::optional<QString> buildDktCommand(const QString& executable, const QString& configHome,
                                       const QString& stateHome) {
    for (const QString& text : {executable, configHome, stateHome})
        if (text.contains(u'\n') || text.contains(u'\r')) return std::nullopt;
    QString command;
    if (!configHome.isEmpty())
        command = QStringLiteral("XDG_CONFIG_HOME=") + escapeForCrontab(configHome) + u' ';
    if (!stateHome.isEmpty())
        command += QStringLiteral("XDG_STATE_HOME=") + escapeForCrontab(stateHome) + u' ';
    command += escapeForCrontab(executable) + QStringLiteral(" 1 >/dev/null 2>&1");
    // Lines are recognised by the marker; a path without it carries it as a comment.
    if (!executable.contains(QLatin1String(crontabMarker)))
        command += QStringLiteral(" # ") + QLatin1String(crontabMarker);
    return command + u'\n';
}

QByteArray crontabEntry(const Schedule& f, const QString& dktCommand) {
    QString line;
    if (f.everyNHours)
        line = QStringLiteral("0\t*/%1\t").arg(f.hoursStep);
    else
        line = QStringLiteral("%1\t%2\t").arg(f.timeOfDay().minute()).arg(f.timeOfDay().hour());

    const bool allMonthDays = f.byWeekdays || f.monthDay == 0;
    const bool allMonths = f.byWeekdays || f.month == 0;
    line += allMonthDays ? QStringLiteral("*\t") : QStringLiteral("%1\t").arg(f.monthDay);
    line += allMonths ? QStringLiteral("*\t") : QStringLiteral("%1\t").arg(f.month);

    // Sunday is written as 7 and comes first, then Monday (1) to Saturday (6).
    QStringList weekdays;
    for (int day = 0; day < 7; ++day)
        if (f.days.weekdays[day]) weekdays << QString::number(day == 0 ? 7 : day);
    const bool everyDay = !f.byWeekdays || f.days.everyDay || weekdays.isEmpty();
    line += everyDay ? QStringLiteral("*") : weekdays.join(u',');

    line += u'\t' + dktCommand;
    return line.toUtf8();
}

QByteArray replaceProgramLines(const QByteArray& listing, const std::optional<QByteArray>& entry) {
    QByteArray kept;
    kept.reserve(listing.size() + (entry ? entry->size() + 1 : 0));
    const QList<QByteArray> lines = listing.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].contains(crontabMarker)) continue;
        kept += lines[i];
        if (i + 1 < lines.size()) kept += '\n';
    }
    // Dropping a last line that had no line break leaves one behind; either way, the
    // entry must start a line of its own.
    if (entry) {
        if (!kept.isEmpty() && !kept.endsWith('\n')) kept += '\n';
        kept += *entry;
    }
    return kept;
}

QList<QByteArray> programLines(const QByteArray& listing) {
    QList<QByteArray> found;
    for (const QByteArray& line : listing.split('\n'))
        if (line.contains(crontabMarker)) found << line;
    return found;
}
