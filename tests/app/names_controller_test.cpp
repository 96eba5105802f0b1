#include <gtest/gtest.h>

#include <QDir>

#include "app/controller_fixture.h"

namespace {

TEST(NamesController, RenamesInTheWorkingFolderAndClearKeepsTheCopiedValues) {
    ControllerFixture f;
    const QString folder = f.home / "work";
    writeFile(folder + "/Old Name.TXT");
    f.c().form.myPathControl = folder;
    NameChangeOptions& options = f.c().nameChangeOptions;
    options.replaceCheck = true;
    options.replace1TextField = "old ";
    options.ignoreCaseCheck = true;
    options.caseCheck = true;
    options.upperLower = 1;

    EXPECT_EQ(f.c().doChangeNames(), RunResult::Done);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({"name.txt"}));

    f.c().clearChangeNames();
    EXPECT_FALSE(options.replaceCheck || options.caseCheck);
    EXPECT_TRUE(options.replace1TextField.isEmpty());
    EXPECT_EQ(options.upperLower, 1);
    EXPECT_EQ(f.c().nameChangeState.replace1String, "old ");  // the next run copies afresh
}

}  // namespace
