#pragma once

#include <QString>
#include <cstdint>

struct FileStatus;

// The day before which (and on which, at midnight) loose items are archived, from the
// three pop-up titles. A year of "None" switches archiving off; a month or day of "None"
// counts as "01". A text that is not a real date (a 31 February, a year that is no
// number) gives an invalid cutoff, before which nothing counts.
struct ArchiveCutoff {
    enum class State { Off, Invalid, Valid };
    State state = State::Off;
    std::int64_t secondsSinceEpoch = 0;  // 00:00:00 UTC of the chosen day

    static ArchiveCutoff fromTitles(const QString& year, const QString& month, const QString& day);

    bool isOff() const { return state == State::Off; }
    // True when the item was last modified on or before the cutoff instant.
    bool includes(const FileStatus& status) const;
};

// "YYYY-MM-DD" with "None" for the parts not chosen, or "None" alone when off.
QString describeArchiveDate(const QString& year, const QString& month, const QString& day);
