#include "app/gui/name_change_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/gui/app_actions.h"
#include "gui_fixture.h"

using NameChangeWindowTest = GuiTest;

TEST_F(NameChangeWindowTest, TheControlsSetTheOptionsAndChangeNamesRenamesTheWorkingFolder) {
    const QString folder = home / "Trips";
    writeFile(folder + "/beach notes.txt");
    writeFile(folder + "/Beach Photo.JPG");
    window->openFile(folder);
    window->actions()->changeNames->trigger();
    NameChangeWindow& names = *window->nameChangeWindow();
    EXPECT_TRUE(names.isVisible());

    QTest::mouseClick(names.replaceCheck, Qt::LeftButton);
    QTest::keyClicks(names.replace1TextField, QStringLiteral("beach"));
    QTest::keyClicks(names.replace2TextField, QStringLiteral("Sea"));
    names.ignoreCaseCheck->setChecked(true);
    names.removeSpacesCheck->setChecked(true);
    names.caseCheck->setChecked(true);
    names.upperLower->button(1)->setChecked(true);
    EXPECT_TRUE(controller->nameChangeOptions.replaceCheck);
    EXPECT_EQ(controller->nameChangeOptions.replace1TextField, u"beach");
    EXPECT_EQ(controller->nameChangeOptions.upperLower, 1);

    QTest::mouseClick(names.runButton, Qt::LeftButton);
    EXPECT_EQ(prompter.calls.first(),
              QStringLiteral("confirm|Change Names|Do you want to change the names of all of the "
                             "files and/or folders in %1?|OK")
                  .arg(folder));
    EXPECT_EQ(prompter.calls.last(), u"notice|The file and/or folder names have been changed.");
    EXPECT_EQ(files.listNames(folder, false),
              (QStringList{QStringLiteral("seanotes.txt"), QStringLiteral("seaphoto.jpg")}));

    // Clear unchecks the rules and empties the texts; the case choice stays.
    QTest::mouseClick(names.clearButton, Qt::LeftButton);
    EXPECT_FALSE(names.replaceCheck->isChecked());
    EXPECT_TRUE(names.replace1TextField->text().isEmpty());
    EXPECT_TRUE(names.upperLower->button(1)->isChecked());
    EXPECT_FALSE(controller->nameChangeOptions.caseCheck);
}
