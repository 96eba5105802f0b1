#include "platform/recent_folders.h"

#include <gtest/gtest.h>

#include "support/temp_home.h"

TEST(RecentFolders, LivesInTheStateFolderOfTheHome) {
    TempHome home;
    EXPECT_EQ(RecentFolders::defaultFilePath(home.path()),
              home / ".local/state/Desktidy/recent-folders");
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(RecentFolders::defaultFilePath("/home/x"),
              "/home/x/.local/state/Desktidy/recent-folders");
}

TEST(RecentFolders, KeepsTheTenLatestMostRecentFirstEachOnce) {
    TempHome home;
    RecentFolders recent(RecentFolders::defaultFilePath(home.path()));
    EXPECT_TRUE(recent.folders().isEmpty());
    for (int i = 0; i < 12; ++i) ASSERT_TRUE(recent.note(QString("/f%1").arg(i)));
    ASSERT_TRUE(recent.note("/f5"));
    EXPECT_EQ(recent.folders(), (QStringList{"/f5", "/f11", "/f10", "/f9", "/f8", "/f7", "/f6",
                                             "/f4", "/f3", "/f2"}));
    // A name with a line break cannot be kept one per line; the list stays as it was.
    EXPECT_FALSE(recent.note("/two\nlines"));
    EXPECT_FALSE(recent.note(""));
    EXPECT_EQ(recent.folders().first(), "/f5");
    EXPECT_EQ(readFile(home / ".local/state/Desktidy/recent-folders").count('\n'), 10);
}
