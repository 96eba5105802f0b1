#include <gtest/gtest.h>

#include "controller_fixture.h"
#include "platform/recent_folders.h"

namespace {

TEST(NamesController, RenamesTheWorkingFolderAndNotesItAsRecent) {
    ControllerFixture f;
    writeFile(f.home / "Trip/beach photo.jpg");
    f.c().form.myPathControl = f.home / "Trip";
    f.c().nameChangeOptions.removeSpacesCheck = true;
    EXPECT_EQ(f.c().doChangeNames(), RunResult::Done);
    EXPECT_TRUE(QFile::exists(f.home / "Trip/beachphoto.jpg"));
    EXPECT_EQ(RecentFolders(RecentFolders::defaultFilePath(f.home.path())).folders().value(0),
              f.home / "Trip");
}

}  // namespace
