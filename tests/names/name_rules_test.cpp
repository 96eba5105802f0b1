#include "names/name_rules.h"

#include <gtest/gtest.h>

#include "names/name_change_options.h"

namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }

TEST(ReplacedName, ScansFromLeftToRightWithoutOverlaps) {
    EXPECT_EQ(replacedName("aaaa", "aa", "b", false), "bb");
    EXPECT_EQ(replacedName("aaa", "aa", "b", false), "ba");
    EXPECT_EQ(replacedName("beach beach.txt", "beach", "", false), " .txt");
}

TEST(ReplacedName, CountsCaseOnlyWhenAsked) {
    EXPECT_EQ(replacedName("Beach beach", "beach", "Sea", false), "Beach Sea");
    EXPECT_EQ(replacedName("Beach BEACH", "beach", "Sea", true), "Sea Sea");
    EXPECT_EQ(replacedName("Beach", "beach", "Sea", false), std::nullopt);
}

TEST(ReplacedName, IgnoresCaseOfLettersBeyondAscii) {
    EXPECT_EQ(replacedName(u8("Äpfel und äpfel.txt"), u8("äPFEL"), "x", true), "x und x.txt");
    EXPECT_EQ(replacedName(u8("Äpfel.txt"), u8("äpfel"), "x", false), std::nullopt);
    EXPECT_EQ(replacedName(u8("ΣΟΦΟΣ σοφος"), u8("σοφοσ"), "x", true), "x x");
    EXPECT_EQ(replacedName(u8("\U00010400.txt"), u8("\U00010428"), "x", true), "x.txt");
}

TEST(ReplacedName, AnOccurrenceReplacedByItselfStillCounts) {
    // The run then tries the item's own name, which it reports as taken.
    EXPECT_EQ(replacedName("beach", "beach", "beach", false), "beach");
}

TEST(Affix, PutsNumberTextNumberInThatOrder) {
    EXPECT_EQ((Affix{true, true, "x", true}).at(3), "3x3");
    EXPECT_EQ((Affix{false, true, "x", true}).at(10), "x10");
    EXPECT_EQ((Affix{false, false, "x", true}).at(7), "7");  // the text is off
    EXPECT_EQ((Affix{false, true, "", false}).at(1), "");
    EXPECT_TRUE((Affix{false, true, "", false}).isOn());
    EXPECT_FALSE((Affix{false, false, "x", false}).isOn());
}

TEST(RemovalRules, TouchOnlyPlainSpacesAndAsciiDigits) {
    EXPECT_EQ(withoutSpaces("a b\tc d"), "ab\tcd");
    EXPECT_EQ(withoutSpaces(u8("a\u00a0b")), std::nullopt);
    EXPECT_EQ(withoutDigits("IMG_0042.jpg0-x"), "IMG_.jpg-x");
    EXPECT_EQ(withoutDigits("2010.txt"), ".txt");
    EXPECT_EQ(withoutDigits(u8("\u0663\u0664.txt")), std::nullopt);  // Arabic-Indic digits
}

TEST(CaseChanged, MapsTheWholeNameIncludingTheExtension) {
    EXPECT_EQ(caseChanged("Photo.JPG", false), "photo.jpg");
    EXPECT_EQ(caseChanged(u8("Äpfel.txt"), true), u8("ÄPFEL.TXT"));
    EXPECT_EQ(caseChanged(u8("straße"), true), "STRASSE");
}

TEST(ClearChangeNames, UnchecksEveryRuleButKeepsTheTwoChoices) {
    NameChangeOptions options;
    options.replaceCheck = options.ignoreCaseCheck = options.prefixNumberCheck = true;
    options.prefixStringCheck = options.prefixNumber2Check = options.suffixNumberCheck = true;
    options.suffixStringCheck = options.suffixNumber2Check = options.removeSpacesCheck = true;
    options.removeNumbersCheck = options.caseCheck = true;
    options.replace1TextField = options.replace2TextField = "a";
    options.prefixTextField = options.suffixTextField = "b";
    options.upperLower = 1;
    options.filesFolders = 1;

    clearChangeNames(options);

    NameChangeState copied;
    copied.copyFrom(options);
    EXPECT_EQ(options.replace1TextField + options.replace2TextField + options.prefixTextField +
                  options.suffixTextField,
              "");
    const int rulesOn = copied.replaceState + copied.ignoreCaseState + copied.prefixNumberState +
                        copied.prefixStringState + copied.prefixNumber2State +
                        copied.suffixNumberState + copied.suffixStringState +
                        copied.suffixNumber2State + copied.removeSpacesState +
                        copied.removeNumbersState + copied.caseState;
    EXPECT_EQ(rulesOn, 0);
    EXPECT_EQ(copied.upperLowerState, 1);
    EXPECT_EQ(copied.filesFoldersState, 1);
}

TEST(NameChangeState, CopiesTheReplaceTextsOnlyWhenReplaceIsOn) {
    NameChangeState state;
    state.replace1String = "kept";
    NameChangeOptions options;
    options.replace1TextField = "new";
    state.copyFrom(options);
    EXPECT_EQ(state.replace1String, "kept");
    options.replaceCheck = true;
    state.copyFrom(options);
    EXPECT_EQ(state.replace1String, "new");
    EXPECT_EQ(state.replaceState, 1);
}

}  // namespace
