#include "names/name_rules.h"

#include <gtest/gtest.h>

namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }

TEST(NameRules, ReplaceScansWithoutOverlapsAndFoldsCaseOnlyWhenAsked) {
    EXPECT_EQ(replacedName("aaa", "aa", "b", false), "ba");
    EXPECT_EQ(replacedName("Beach beach", "beach", "Sea", false), "Beach Sea");
    EXPECT_EQ(replacedName("Beach BEACH", "beach", "Sea", true), "Sea Sea");
    EXPECT_EQ(replacedName(u8("Äpfel und äpfel"), u8("äPFEL"), "x", true), "x und x");
    EXPECT_EQ(replacedName(u8("ΣΟΦΟΣ σοφος"), u8("σοφοσ"), "x", true), "x x");
    EXPECT_EQ(replacedName(u8("Äpfel"), u8("äpfel"), "x", false), std::nullopt);
    // Replaced by itself still counts: the run then reports the name as taken.
    EXPECT_EQ(replacedName("beach", "beach", "beach", false), "beach");
}

TEST(NameRules, RemovalsTouchOnlyPlainSpacesAndAsciiDigits) {
    EXPECT_EQ(withoutSpaces("a b\tc"), "ab\tc");
    EXPECT_EQ(withoutSpaces(u8("a\u00a0b")), std::nullopt);
    EXPECT_EQ(withoutDigits("2010.txt"), ".txt");
    EXPECT_EQ(withoutDigits(u8("\u0663\u0664.txt")), std::nullopt);  // Arabic-Indic digits
    EXPECT_EQ(caseChanged(u8("straße.jpg"), true), "STRASSE.JPG");
    EXPECT_EQ((Affix{true, true, "x", true}).at(3), "3x3");
}

}  // namespace
