#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/gui/add_type_panel.h"
#include "app/gui/app_actions.h"
#include "app/gui/folders_pane.h"
#include "app/gui/setup_panel.h"
#include "gui_fixture.h"

using FilingWindowTest = GuiTest;

TEST_F(FilingWindowTest, FilingFromTheWindowMovesTheFilesAndShowsEachItemInOrder) {
    const QString desk = home.desktop();
    for (const char* name : {"notes.txt", "photo.jpg", "song.mp3", "keep.unknownext"})
        writeFile(desk + u'/' + QString::fromLatin1(name));
    window->refresh();

    QTest::mouseClick(window->buttonFor(QStringLiteral("fileButton")), Qt::LeftButton);
    EXPECT_EQ(prompter.calls.first(),
              QStringLiteral(
                  "confirm|File these files?|Desktidy will file all of the files located in %1 "
                  "into the appropriate folders.  You can always undo this by choosing "
                  "Undesktidy... from the File menu.|OK")
                  .arg(desk));
    EXPECT_EQ(prompter.callsStartingWith(QStringLiteral("item|")),
              (QStringList{QStringLiteral("item|song.mp3"), QStringLiteral("item|photo.jpg"),
                           QStringLiteral("item|notes.txt")}));
    EXPECT_TRUE(prompter.calls.contains(QStringLiteral("progress|Filing...")));
    EXPECT_EQ(prompter.calls.last(), u"close");
    const QStringList& names = controller->settings.fileFoldersArray;
    EXPECT_TRUE(files.exists(desk + u'/' + names.at(1) + QStringLiteral("/song.mp3")));
    EXPECT_TRUE(files.exists(desk + u'/' + names.at(4) + QStringLiteral("/photo.jpg")));
    EXPECT_TRUE(files.exists(desk + u'/' + names.at(8) + QStringLiteral("/notes.txt")));
    EXPECT_TRUE(files.exists(desk + QStringLiteral("/keep.unknownext")));
    // The category table shows the last category the run went through.
    FoldersPane& folders = *window->setupPanel()->foldersView;
    EXPECT_EQ(FoldersPane::selectedRows(folders.folderTableView), QList<int>{8});

    // Open Recent now lists the folder; Undesktidy... puts everything back.
    window->actions()->openRecent->aboutToShow();
    ASSERT_FALSE(window->actions()->openRecent->actions().isEmpty());
    EXPECT_EQ(window->actions()->openRecent->actions().first()->text(), desk);
    prompter.calls.clear();
    window->actions()->undesktidy->trigger();
    EXPECT_TRUE(prompter.calls.first().startsWith(u"confirm|Unfile these files?|"));
    EXPECT_EQ(files.listNames(desk, false).size(), 4);
}

TEST_F(FilingWindowTest, TheAddTypePanelAddsToTheSelectedCategoryAndFolderButtonsEditTheList) {
    SetupPanel& panel = *window->setupPanel();
    FoldersPane& folders = *panel.foldersView;
    panel.doSetupPanel(SetupPanel::Folders);
    clickRow(folders.folderTableView, 4);
    QTest::mouseClick(folders.addTypeButton, Qt::LeftButton);
    AddTypePanel& add = *panel.addTypePanel();
    ASSERT_TRUE(add.isVisible());
    QTest::keyClicks(add.addTypeTextField, QStringLiteral("heic"));
    QTest::keyClicks(add.typeDescTextField, QStringLiteral("HEIF image"));
    QTest::mouseClick(add.addButton, Qt::LeftButton);
    EXPECT_FALSE(add.isVisible());
    EXPECT_TRUE(controller->settings.imageTypesArray.contains(QStringLiteral("heic - HEIF image")));
    const int shown = folders.fileTypeTableView->model()->rowCount();
    EXPECT_EQ(shown, controller->settings.imageTypesArray.size());

    // With the archive row selected nothing is added and the panel stays open.
    clickRow(folders.folderTableView, 0);
    QTest::mouseClick(folders.addTypeButton, Qt::LeftButton);
    QTest::mouseClick(add.addButton, Qt::LeftButton);
    EXPECT_TRUE(add.isVisible());
    EXPECT_EQ(folders.fileTypeTableView->model()->rowCount(), 0);
    add.hide();

    chooser.setNextAnswer(QStringList{home / "A", home / "B"});
    QTest::mouseClick(folders.addFolderButton, Qt::LeftButton);
    EXPECT_EQ(chooser.lastRequest().confirmButton, u"Add");
    EXPECT_TRUE(chooser.lastRequest().multiple);
    ASSERT_EQ(folders.myFoldersTableView->model()->rowCount(), 2);
    clickRow(folders.myFoldersTableView, 0);
    QTest::mouseClick(folders.delFolderButton, Qt::LeftButton);
    EXPECT_EQ(controller->settings.myFoldersArray, QStringList{home / "B"});
    EXPECT_EQ(folders.myFoldersTableView->model()->rowCount(), 1);
}
