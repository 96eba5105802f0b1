#include "filing/type_table.h"

#include <gtest/gtest.h>

#include "filing_fixture.h"

TEST(TypeTable, GivesTheLowestCategoryWhoseListMatchesTheExtension) {
    Settings s = filingSettings();
    s.types(Category::Data) << "jpg - listed under data too";
    s.types(Category::Words) << "c - one letter"
                             << "md\tMarkdown"
                             << " rtf - no type before the space";
    const TypeTable table(s);
    EXPECT_EQ(table.categoryOf("photo.jpg"), 3);
    EXPECT_EQ(table.categoryOf("shot.png"), 4);  // listed as ".png"
    EXPECT_EQ(table.categoryOf("notes.md"), 8);
    EXPECT_EQ(table.categoryOf("Tool.zip"), 2);
    EXPECT_EQ(table.categoryOf("old.tar.zip"), 2);  // the last extension
    EXPECT_EQ(table.categoryOf("it's.j'pg"), 3);    // apostrophes are no part of a type
    EXPECT_EQ(table.categoryOf("caf\xE9.jpg"), 3);  // a name that is not UTF-8 has a type too
    for (const char* stays : {"Photo.JPG", ".hidden.jpg", ".md", "main.c", "jpg", "photo.",
                              "photo.jpeg", "x.rtf", "x.\xFFjpg"})
        EXPECT_EQ(table.categoryOf(stays), noCategory) << stays;
}
