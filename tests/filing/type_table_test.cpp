#include "filing/type_table.h"

#include <gtest/gtest.h>

#include "filing_fixture.h"

namespace {

int categoryWith(Settings settings, const QString& name) {
    return TypeTable(settings).categoryOf(name);
}

}  // namespace

TEST(TypeTable, MatchesTheTypeWithOrWithoutLeadingDotAndCaseCounted) {
    Settings s = filingSettings();
    EXPECT_EQ(categoryWith(s, "photo.jpg"), 4);
    EXPECT_EQ(categoryWith(s, "shot.png"), 4);  // listed as ".png"
    EXPECT_EQ(categoryWith(s, "Photo.JPG"), noCategory);
    EXPECT_EQ(categoryWith(s, "photo.jpg.txt"), 8);  // the last extension counts
    EXPECT_EQ(categoryWith(s, "Tool.zip"), 2);       // folders alike: the name decides
    EXPECT_EQ(categoryWith(s, "jpg"), noCategory);
    EXPECT_EQ(categoryWith(s, "photo.jpeg"), noCategory);
    EXPECT_EQ(categoryWith(s, "photo."), noCategory);
    // Apostrophes are not part of a type.
    EXPECT_EQ(categoryWith(s, "it's.j'pg"), 4);
}

TEST(TypeTable, NeverFilesHiddenNamesOrTypesShorterThanTwo) {
    Settings s = filingSettings();
    s.wordsTypesArray << "c - C source"
                      << ".h - header"
                      << "md - Markdown";
    EXPECT_EQ(categoryWith(s, ".hidden.jpg"), noCategory);
    EXPECT_EQ(categoryWith(s, ".md"), noCategory);
    EXPECT_EQ(categoryWith(s, "main.c"), noCategory);
    EXPECT_EQ(categoryWith(s, "main.h"), noCategory);
    EXPECT_EQ(categoryWith(s, "notes.md"), 8);
}

TEST(TypeTable, LowestCategoryWinsAndOnlyTheFirstWordIsTheType) {
    Settings s = filingSettings();
    s.imageTypesArray << "dat - also listed under images";
    s.dataTypesArray << ".dat - data file";
    s.videoTypesArray << "mkv\tMatroska"
                      << "  avi - leading space: no type"
                      << "webm";
    s.layoutTypesArray << "zip - later than compressed";
    EXPECT_EQ(categoryWith(s, "x.dat"), 3);
    EXPECT_EQ(categoryWith(s, "x.zip"), 2);
    EXPECT_EQ(categoryWith(s, "x.mkv"), 6);
    EXPECT_EQ(categoryWith(s, "x.webm"), 6);
    EXPECT_EQ(categoryWith(s, "x.avi"), noCategory);
}

TEST(TypeTable, EntryTypeIsTheTextBeforeTheFirstWhiteSpace) {
    EXPECT_EQ(entryType("jpg - JPEG image"), "jpg");
    EXPECT_EQ(entryType(".tar.gz"), ".tar.gz");
    EXPECT_EQ(entryType("x\ny"), "x");
    EXPECT_EQ(entryType(""), "");
    EXPECT_EQ(typeEntry("jpg", ""), "jpg - ");
}

TEST(DoType, AddsSortedCaseInsensitivelyAndKeepsDuplicates) {
    Settings s = filingSettings();
    s.compressedTypesArray = {"apk - Android package", "tar - Tape archive"};
    setTypeArray(s, 2);
    EXPECT_TRUE(doType(s, 2, "Zip", "Zip archive"));
    EXPECT_TRUE(doType(s, 2, "Zip", "Zip archive"));
    const QStringList expected = {"apk - Android package", "tar - Tape archive",
                                  "Zip - Zip archive", "Zip - Zip archive"};
    EXPECT_EQ(s.fileTypesArray, expected);
    EXPECT_EQ(s.compressedTypesArray, expected);
    EXPECT_EQ(s.foldersRow, 2);
}

TEST(DoType, OnTheArchiveRowEmptiesTheWorkingListAndAddsNothing) {
    Settings s = filingSettings();
    const Settings before = s;
    setTypeArray(s, 4);
    EXPECT_FALSE(doType(s, 0, "gif", "GIF image"));
    EXPECT_TRUE(s.fileTypesArray.isEmpty());
    EXPECT_EQ(s.imageTypesArray, before.imageTypesArray);
    // With no row selected the entry only reaches the working list.
    EXPECT_TRUE(doType(s, -1, "gif", "GIF image"));
    EXPECT_EQ(s.fileTypesArray, QStringList{"gif - GIF image"});
    EXPECT_EQ(s.imageTypesArray, before.imageTypesArray);
}

TEST(DelType, RemovesTheRowsAndCopiesTheListBack) {
    Settings s = filingSettings();
    s.imageTypesArray = {"a - 0", "b - 1", "c - 2", "d - 3"};
    setTypeArray(s, 4);
    delType(s, {3, 1, 3, 9, -1});
    EXPECT_EQ(s.imageTypesArray, (QStringList{"a - 0", "c - 2"}));
    EXPECT_EQ(s.fileTypesArray, s.imageTypesArray);
}
