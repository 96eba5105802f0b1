#include "filing/archive_date.h"

#include <QDate>
#include <QTimeZone>

#include "platform/file_system.h"

namespace {

const QString none = QStringLiteral("None");

// A number made of exactly `digits` ASCII digits, or -1.
int fixedDigits(const QString& text, int digits) {
    if (text.size() != digits) return -1;
    int value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9') return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

}  // namespace

ArchiveCutoff ArchiveCutoff::fromTitles(const QString& year, const QString& month,
                                        const QString& day) {
    ArchiveCutoff cutoff;
    if (year == none) return cutoff;
    const int y = fixedDigits(year, 4);
    const int m = month == none ? 1 : fixedDigits(month, 2);
    const int d = day == none ? 1 : fixedDigits(day, 2);
    const QDate date(y, m, d);
    if (y < 0 || !date.isValid()) {
        cutoff.state = State::Invalid;
        return cutoff;
    }
    cutoff.state = State::Valid;
    cutoff.secondsSinceEpoch = date.startOfDay(QTimeZone::utc()).toSecsSinceEpoch();
    return cutoff;
}

bool ArchiveCutoff::includes(const FileStatus& status) const {
    if (state != State::Valid) return false;
    // Equal instants count as on or before; any fraction of a second past is after.
    return status.mtimeSeconds < secondsSinceEpoch ||
           (status.mtimeSeconds == secondsSinceEpoch && status.mtimeNanoseconds == 0);
}

QString describeArchiveDate(const QString& year, const QString& month, const QString& day) {
    if (year == none) return none;
    return year + u'-' + month + u'-' + day;
}
