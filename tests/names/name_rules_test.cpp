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

TEST(NameRules, CaseChangeMapsWholeWords) {
    EXPECT_EQ(caseChanged(u8("straße.jpg"), true), "STRASSE.JPG");
}

}  // namespace
