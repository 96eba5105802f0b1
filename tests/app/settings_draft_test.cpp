#include <gtest/gtest.h>

#include "controller_fixture.h"

namespace {

// The Setup panel's three buttons on the draft: Save stores it, Cancel drops it, Reset
// puts the defaults in all but the folder list, the pack lists and the schedule.
TEST(SettingsDraft, SaveStoresCancelDropsAndResetKeepsTheListsAndSchedule) {
    ControllerFixture f;
    DesktidyController& c = f.c();
    const Settings first = c.saved();
    c.draft().listedFolders = {f.home / "a"};
    c.draft().packRows = {{f.home / "from", f.home / "to"}};
    c.draft().folderNames[2] = "Zipped";
    c.draft().types(Category::Audio) = {"xyz - mine"};
    c.draft().archiveDate.year = "2012";
    c.draft().workingFolder = f.home / "elsewhere";
    c.draft().checkForUpdates = c.draft().packOverwrite = false;
    c.draft().schedule.hoursStep = 7;
    c.draft().schedule.days.setWeekday(1, true);
    EXPECT_EQ(c.saved(), first);
    c.saveSetup();
    EXPECT_EQ(c.saved(), c.draft());
    const Settings saved = c.draft();

    c.draft().listedFolders.append(f.home / "added, not saved");
    c.draft().packRows.append(PackRow{"x", "y"});
    c.draft().types(Category::Image).clear();
    c.draft().archiveDate.year = "2001";
    c.draft().schedule.month = 5;  // stored as 0 ("All"), which a load leaves alone
    c.draft().schedule.byWeekdays = false;
    c.addType(Category::Image, "heic", "HEIF image");
    c.showCategoryRow(4);
    c.cancelSetup();
    EXPECT_EQ(c.draft(), saved);
    EXPECT_EQ(c.shownCategoryRow(), 1);

    c.draft().listedFolders.append(f.home / "b");  // not saved, and kept by the reset
    c.draft().schedule.setTimeOfDay(QTime(6, 15));
    c.resetSetup();
    EXPECT_EQ(c.draft().listedFolders, QStringList({f.home / "a", f.home / "b"}));
    EXPECT_EQ(c.draft().packRows, saved.packRows);
    EXPECT_EQ(c.draft().schedule.hoursStep, 7);
    EXPECT_TRUE(c.draft().schedule.days.weekdays[1]);
    EXPECT_EQ(c.draft().schedule.timeOfDay(), QTime(6, 15));
    EXPECT_EQ(c.draft().folderNames, first.folderNames);
    EXPECT_EQ(c.draft().types(Category::Audio), first.types(Category::Audio));
    EXPECT_EQ(c.draft().archiveDate, ArchiveDate());
    EXPECT_EQ(c.draft().workingFolder, f.home.desktop());
    EXPECT_TRUE(c.draft().checkForUpdates && c.draft().packOverwrite);

    // The reset was saved: a new start reads back exactly that.
    const Settings reset = c.draft();
    f.restart({"/usr/bin/desktidy"});
    EXPECT_EQ(f.c().draft(), reset);
}

}  // namespace
