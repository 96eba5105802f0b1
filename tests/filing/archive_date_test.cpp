#include "filing/archive_date.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"

namespace {

constexpr std::int64_t jan1st2020 = 1577836800;  // 2020-01-01 00:00:00 UTC

FileStatus modifiedAt(std::int64_t seconds, std::int64_t nanoseconds = 0) {
    FileStatus st;
    st.mtimeSeconds = seconds;
    st.mtimeNanoseconds = nanoseconds;
    return st;
}

}  // namespace

TEST(ArchiveCutoff, IsMidnightUtcOfTheChosenDayWithNoneAsTheFirst) {
    const auto cutoff = ArchiveCutoff::fromTitles("2020", "None", "None");
    ASSERT_EQ(cutoff.state, ArchiveCutoff::State::Valid);
    EXPECT_EQ(cutoff.secondsSinceEpoch, jan1st2020);
    EXPECT_EQ(ArchiveCutoff::fromTitles("2020", "03", "None").secondsSinceEpoch,
              jan1st2020 + 60 * 86400);
    EXPECT_EQ(ArchiveCutoff::fromTitles("2020", "02", "29").secondsSinceEpoch,
              jan1st2020 + 59 * 86400);
}

TEST(ArchiveCutoff, YearNoneIsOffAndAnythingElseNotADateIsInvalid) {
    EXPECT_TRUE(ArchiveCutoff::fromTitles("None", "05", "05").isOff());
    for (const auto& [y, m, d] :
         std::vector<std::tuple<QString, QString, QString>>{{"2021", "02", "29"},
                                                            {"2020", "13", "01"},
                                                            {"2020", "00", "None"},
                                                            {"20x0", "01", "01"},
                                                            {"202", "01", "01"},
                                                            {"", "None", "None"},
                                                            {"2020", "1", "1"}}) {
        const auto cutoff = ArchiveCutoff::fromTitles(y, m, d);
        EXPECT_EQ(cutoff.state, ArchiveCutoff::State::Invalid)
            << y.toStdString() << m.toStdString();
        EXPECT_FALSE(cutoff.includes(modifiedAt(0)));
    }
}

TEST(ArchiveCutoff, IncludesItemsModifiedOnOrBeforeTheInstant) {
    const auto cutoff = ArchiveCutoff::fromTitles("2020", "01", "01");
    EXPECT_TRUE(cutoff.includes(modifiedAt(jan1st2020)));
    EXPECT_TRUE(cutoff.includes(modifiedAt(jan1st2020 - 1, 999999999)));
    EXPECT_FALSE(cutoff.includes(modifiedAt(jan1st2020, 1)));
    EXPECT_FALSE(cutoff.includes(modifiedAt(jan1st2020 + 86400)));
    EXPECT_FALSE(ArchiveCutoff::fromTitles("None", "01", "01").includes(modifiedAt(0)));
}
