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
        {"e.mp4.PARTIAL", true, "e.mp4"},
        {"h.mkv.!qB", true, "h.mkv"},
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
