#include <gtest/gtest.h>
#include <plist/plist.h>

#include "platform/item_type.h"
#include "platform/property_list.h"
#include "platform/text.h"

namespace {

TEST(ItemType, IsTheExtensionAsWrittenForFilesAndFolders) {
    EXPECT_EQ(itemTypeOf("photo.JPG"), "JPG");
    EXPECT_EQ(itemTypeOf("archive.tar.gz"), "gz");
    EXPECT_EQ(itemTypeOf("Folder.app"), "app");
    EXPECT_EQ(itemTypeOf("caf\xE9.\xFFz"), "\xFFz");
    for (const char* none : {".profile", "README", "trailing."})
        EXPECT_EQ(itemTypeOf(none), "") << none;
}

TEST(LeadingInteger, ReadsLeadingDigitsLikeANumberField) {
    EXPECT_EQ(leadingInteger("12abc"), 12);
    EXPECT_EQ(leadingInteger("  -7"), -7);
    EXPECT_EQ(leadingInteger("abc"), 0);
    EXPECT_EQ(leadingInteger("99999999999"), INT_MAX);
}

TEST(PropertyList, ReadsXmlAndBinaryAlike) {
    const QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
        "<key>CFBundleIdentifier</key><string>a.b.notepad</string>"
        "<key>list</key><array><string>ä</string><integer>3</integer><true/></array>"
        "</dict></plist>";
    const QVariantMap fromXml = parsePropertyList(xml).toMap();
    EXPECT_EQ(fromXml.value("CFBundleIdentifier").toString(), "a.b.notepad");
    EXPECT_EQ(fromXml.value("list").toList().value(0).toString(), "ä");
    EXPECT_EQ(fromXml.value("list").toList().value(1).toLongLong(), 3);

    plist_t root = nullptr;
    plist_from_xml(xml.constData(), xml.size(), &root);
    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bin, &length);
    EXPECT_EQ(parsePropertyList(QByteArray(bin, length)).toMap(), fromXml);
    free(bin);
    plist_free(root);

    EXPECT_FALSE(parsePropertyList("not a plist").isValid());
    EXPECT_TRUE(readPropertyListDictionary(Path("/no/such/file.plist")).isEmpty());
}

}  // namespace
