#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>

#include "app/gui/progress_panel.h"
#include "app/gui/qt_prompter.h"

namespace {

// Answers every box with the button of the given text and keeps what it saw.
struct Answer {
    QString button;
    QString title, text;
    QStringList buttons;
    Qt::TextFormat format = Qt::AutoText;

    QtPrompter::BoxHook hook() {
        return [this](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            format = box.textFormat();
            buttons.clear();
            for (QAbstractButton* b : box.buttons()) buttons << b->text();
            buttons.sort();
            for (QAbstractButton* b : box.buttons())
                if (b->text() == button) b->click();
        };
    }
};

}  // namespace

TEST(QtPrompter, BoxesShowExactTextsLiterallyWithTheirButtonsAndAnswers) {
    QtPrompter prompter;
    Answer answer{QStringLiteral("Cancel")};
    prompter.setBoxHook(answer.hook());
    const QString message =
        QStringLiteral("Desktidy will file all of the files located in /tmp/%@ <b>x</b>");
    EXPECT_FALSE(
        prompter.confirm(QStringLiteral("File these files?"), message, QStringLiteral("OK")));
    EXPECT_EQ(answer.title, u"File these files?");
    EXPECT_EQ(answer.text, message);
    EXPECT_EQ(answer.format, Qt::PlainText);
    EXPECT_EQ(answer.buttons, QString("Cancel|OK").split(u'|'));
    answer.button = QStringLiteral("Overwrite");
    EXPECT_TRUE(prompter.confirm(QStringLiteral("Overwrite this file?"), QStringLiteral("x"),
                                 QStringLiteral("Overwrite")));
    EXPECT_EQ(answer.buttons, QString("Cancel|Overwrite").split(u'|'));

    // Notices have no title and one OK button.
    answer.button = QStringLiteral("OK");
    prompter.notice(QStringLiteral("The Setup has been saved."));
    EXPECT_EQ(answer.title, QString());
    EXPECT_EQ(answer.text, u"The Setup has been saved.");
    EXPECT_EQ(answer.buttons, QStringList{QStringLiteral("OK")});
    prompter.criticalNotice(QStringLiteral("Something prevented Desktidy from reading <it>"));
    EXPECT_EQ(answer.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(answer.format, Qt::PlainText);

    // A file error stops the run only on Stop.
    FileError error{28, QStringLiteral("/stick/Taxes"),
                    QStringLiteral("Could not copy \u201cTaxes\u201d.")};
    answer.button = QStringLiteral("Stop");
    EXPECT_EQ(prompter.fileError(error), FileErrorChoice::Stop);
    EXPECT_EQ(answer.text, error.message);
    answer.button = QStringLiteral("Continue");
    EXPECT_EQ(prompter.fileError(error), FileErrorChoice::Continue);
}

TEST(QtPrompter, ProgressPanelShowsTitleAndEachItemUntilClosed) {
    QtPrompter prompter;
    EXPECT_FALSE(prompter.isBusy());
    prompter.setProgressItemVisible(true);
    prompter.openProgress(QStringLiteral("Filing..."));
    ProgressPanel* panel = prompter.progressPanel();
    EXPECT_TRUE(prompter.isBusy() && panel->isVisible());
    EXPECT_EQ(panel->windowTitle(), u"Filing...");
    prompter.showProgressItem(QStringLiteral("a.jpg"));
    EXPECT_EQ(panel->itemText(), u"a.jpg");
    EXPECT_TRUE(panel->isItemVisible());
    prompter.closeProgress();
    EXPECT_FALSE(prompter.isBusy() || panel->isVisible());

    prompter.setProgressItemVisible(false);
    prompter.openProgress(QStringLiteral("Moving to Trash..."));
    EXPECT_FALSE(panel->isItemVisible());
    prompter.closeProgress();
}
