#include "watch/partial_names.h"

#include <gtest/gtest.h>

TEST(PartialNames, DownloadsInProgressAndLockFilesAreKnownByName) {
    const struct {
        const char* name;
        bool partial;
        const char* finished;
    } cases[] = {
        {"a.pdf.part", true, "a.pdf"},
        {"b.zip.crdownload", true, "b.zip"},
        {"c.iso.opdownload", true, "c.iso"},
        {"d.dmg.download", true, "d.dmg"},
        {"e.mp4.PARTIAL", true, "e.mp4"},
        {"f.bin.filepart", true, "f.bin"},
        {"g.tar.aria2", true, "g.tar"},
        {"h.mkv.!qB", true, "h.mkv"},
        {"i.avi.!ut", true, "i.avi"},
        {"save.tmp", true, "save"},
        {"~$report.docx", true, ""},
        {".~lock.report.odt#", true, ""},
        {"#notes.txt#", true, ""},
        {"report.docx", false, ""},
        {"party.jpg", false, ""},
        {".part", false, ""},
        {"#", false, ""},
        {"notes#", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isPartialName(c.name), c.partial);
        EXPECT_EQ(finishedNameOf(c.name), QByteArray(c.finished));
    }
}
