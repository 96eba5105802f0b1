#include "platform/wildcard.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "platform/trash_location.h"
#include "support/qstring_printer.h"
#include "support/temp_home.h"

TEST(Wildcard, StarAndQuestionMarkMatchTheWholeTextAndNothingElseIsSpecial) {
    EXPECT_TRUE(isLike("Note Pad", "*Note Pad*"));
    EXPECT_TRUE(isLike("", "*"));
    EXPECT_FALSE(isLike("abcd", "a?c"));
    EXPECT_FALSE(isLike("xabc", "abc*"));
    EXPECT_TRUE(isLike("aXbXc", "*X*X*"));
    EXPECT_FALSE(isLike("aXb", "*X*X*"));
    EXPECT_TRUE(isLike("Foo [Beta]", "*[Beta]*"));
    EXPECT_FALSE(isLike("Foo B", "*[Beta]*"));
    EXPECT_TRUE(isLike("a\\b", "a\\b"));
    // "?" is one character, also beyond the basic plane.
    EXPECT_TRUE(isLike(QString::fromUtf8("a\U0001F600b"), "a?b"));
}

TEST(Wildcard, CaseCountsOnlyWhenAskedAndUtf8NamesMatchAsTheirText) {
    EXPECT_FALSE(isLike("mail.plist", "*Mail*"));
    EXPECT_TRUE(isCaseInsensitiveLike("mail.plist", "*Mail*"));
    EXPECT_TRUE(isCaseInsensitiveLike(QString::fromUtf8("Ärger"), QString::fromUtf8("äRGER")));
    const WildcardPattern pattern(QStringLiteral("*note*"), Qt::CaseInsensitive);
    EXPECT_TRUE(pattern.matchesUtf8("My NOTEs"));
    EXPECT_FALSE(pattern.matchesUtf8("nothing"));
    EXPECT_TRUE(pattern.matchesUtf8("\xc3\x84 Note"));  // decoded, not byte-matched
    // The Kelvin sign folds to "k", which a byte-for-byte match would miss.
    EXPECT_TRUE(WildcardPattern("*kit*", Qt::CaseInsensitive).matchesUtf8("\xe2\x84\xaaIT"));
    // A byte that is no part of a character is one unknown character.
    EXPECT_TRUE(pattern.matchesUtf8("\xff notes"));
    EXPECT_TRUE(WildcardPattern("?ote", Qt::CaseInsensitive).matchesUtf8("\xffote"));
    EXPECT_FALSE(WildcardPattern("xote", Qt::CaseInsensitive).matchesUtf8("\xffote"));
}

TEST(LeadingInteger, ReadsLeadingDigitsLikeANumberFieldAndStopsAtTheLargest) {
    EXPECT_EQ(leadingInteger("12abc"), 12);
    EXPECT_EQ(leadingInteger("  -7"), -7);
    EXPECT_EQ(leadingInteger("abc"), 0);
    EXPECT_EQ(leadingInteger("99999999999"), INT_MAX);
}

TEST(TrashLocation, FollowsXdgDataHome) {
    TempHome home;
    const Path homePath = asPath(home.path());
    EXPECT_EQ(TrashLocation::forHome(homePath).folder, asPath(home / ".local/share/Trash"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home / "data/"));
    EXPECT_EQ(TrashLocation::forHome(homePath).files(), asPath(home / "data/Trash/files"));
    qputenv("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(TrashLocation::forHome(homePath).info(), asPath(home / ".local/share/Trash/info"));
    EXPECT_EQ(TrashLocation::forHome(homePath).infoFileFor("r\xFF"),
              asPath(home / ".local/share/Trash/info") / "r\xFF.trashinfo");
}
