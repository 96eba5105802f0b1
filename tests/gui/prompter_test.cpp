#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/gui/progress_panel.h"
#include "app/gui/qt_prompter.h"
#include "app/gui/run_owner.h"
#include "app/gui/window_run_front_end.h"

namespace {

// Answers every box once it is shown by pressing a key, as the user would, and keeps what
// it saw and which button the key pressed.
struct Answer {
    Qt::Key key = Qt::Key_Return;
    QString title, text, details, pressed;
    QStringList buttons;
    Qt::TextFormat format = Qt::AutoText;

    QtPrompter::BoxHook hook() {
        return [this](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            details = box.detailedText();
            format = box.textFormat();
            buttons.clear();
            for (QAbstractButton* b : box.buttons()) buttons << b->text();
            buttons.sort();
            pressed.clear();
            QObject::connect(&box, &QMessageBox::buttonClicked,
                             [this](QAbstractButton* b) { pressed = b->text(); });
            QTimer::singleShot(0, &box, [&box, k = key] { QTest::keyClick(&box, k); });
            QTimer::singleShot(5000, &box, [&box] { box.done(-1); });  // never hang
        };
    }
};

}  // namespace

TEST(QtPrompter, BoxesShowExactTextsLiterallyAndEnterOrEscapePressTheRightButton) {
    QtPrompter prompter;
    Answer answer;
    prompter.setBoxHook(answer.hook());
    const QString message =
        QStringLiteral("Desktidy will file all of the files located in /tmp/%@ <b>x</b>");
    answer.key = Qt::Key_Escape;
    EXPECT_FALSE(
        prompter.confirm(QStringLiteral("File these files?"), message, QStringLiteral("OK")));
    EXPECT_EQ(answer.title, u"File these files?");
    EXPECT_EQ(answer.text, message);
    EXPECT_EQ(answer.format, Qt::PlainText);
    EXPECT_EQ(answer.pressed, u"Cancel");
    EXPECT_EQ(answer.details, u"");
    // A run's plan sits in the box's details, out of the way until asked for.
    EXPECT_FALSE(prompter.confirmWithDetails(QStringLiteral("File these files?"), message,
                                             QStringLiteral("OK"),
                                             [] { return QStringLiteral("Words: 1\n"); }));
    EXPECT_EQ(answer.details, u"Words: 1\n");
    // Enter takes the default button, Escape "Cancel".
    const QString overwrite = QStringLiteral("Overwrite");
    answer.key = Qt::Key_Return;
    EXPECT_TRUE(prompter.confirm(QStringLiteral("Sure?"), QStringLiteral("x"), overwrite));
    EXPECT_EQ(answer.pressed, overwrite);
    EXPECT_EQ(answer.buttons, (QStringList{QStringLiteral("Cancel"), overwrite}));
    answer.key = Qt::Key_Escape;
    EXPECT_FALSE(prompter.confirm(QStringLiteral("Sure?"), QStringLiteral("x"), overwrite));
    EXPECT_EQ(answer.pressed, u"Cancel");
    // A question whose other answer has a name: Escape takes that one.
    EXPECT_FALSE(prompter.confirmOr(QStringLiteral("Stopped"), QStringLiteral("x"),
                                    QStringLiteral("Undo"), QStringLiteral("Keep")));
    EXPECT_EQ(answer.buttons, (QStringList{QStringLiteral("Keep"), QStringLiteral("Undo")}));
    EXPECT_EQ(answer.pressed, u"Keep");

    // Notices have one OK button, which Escape presses too.
    prompter.notice(QStringLiteral("The Setup has been saved."));
    EXPECT_EQ(std::make_pair(answer.buttons, answer.pressed),
              std::make_pair(QStringList{QStringLiteral("OK")}, QStringLiteral("OK")));
    prompter.criticalNotice(QStringLiteral("Something prevented Desktidy from reading <it>"));
    EXPECT_EQ(answer.format, Qt::PlainText);
    EXPECT_EQ(answer.pressed, u"OK");

    // A file error: Enter continues with the next item, Escape stops the run.
    FileError error{28, Path("/stick/Taxes"), QStringLiteral("Could not copy \u201cTaxes\u201d.")};
    answer.key = Qt::Key_Return;
    EXPECT_EQ(prompter.fileError(error), FileErrorChoice::Continue);
    EXPECT_EQ(answer.text, error.message);
    EXPECT_EQ(answer.buttons, QString("Continue|Stop").split(u'|'));
    EXPECT_EQ(answer.pressed, u"Continue");
    answer.key = Qt::Key_Escape;
    EXPECT_EQ(prompter.fileError(error), FileErrorChoice::Stop);
    EXPECT_EQ(answer.pressed, u"Stop");
}

// The panel counts the run's items. While the run goes on, input meant for any other
// window is dropped, not kept for after it; a question the run asks on its way (a modal
// box, such as "Overwrite this file?") is answered as usual. Cancel, Escape and closing
// are driven through a whole run in run_window_test.
TEST(WindowRunFrontEnd, ThePanelCountsAndOnlyItAndTheRunsQuestionsTakeInput) {
    QWidget main;
    main.show();
    WindowRunFrontEnd run(&main, nullptr);
    EXPECT_FALSE(run.isRunning());
    run.passBegins(QStringLiteral("Filing..."), 5, true);
    ProgressPanel* panel = run.progressPanel();
    ASSERT_TRUE(run.isRunning() && panel->isVisible());
    run.step(2, 5, QStringLiteral("a.jpg"));
    EXPECT_EQ(panel->itemText(), u"a.jpg");
    EXPECT_EQ(panel->findChild<QLabel*>("progressCount")->text(), u"2 of 5");
    auto* bar = panel->findChild<QProgressBar*>();
    EXPECT_EQ(std::make_pair(bar->value(), bar->maximum()), std::make_pair(2, 5));
    // Digits grouped as the desktop's language groups them.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    run.step(5259, 30000, QStringLiteral("b.jpg"));
    QLocale::setDefault(before);
    EXPECT_EQ(panel->findChild<QLabel*>("progressCount")->text(), u"5,259 of 30,000");
    QLineEdit elsewhere;
    elsewhere.show();
    QTest::keyClicks(&elsewhere, "typed during the run");
    EXPECT_EQ(elsewhere.text(), u"");

    QMessageBox question(QMessageBox::Question, QStringLiteral("Overwrite this file?"),
                         QStringLiteral("x exists."), QMessageBox::Ok | QMessageBox::Cancel);
    QTimer::singleShot(0, &question, [&] { QTest::keyClick(&question, Qt::Key_Return); });
    QTimer::singleShot(5000, &question, [&] { question.done(-1); });  // were it dropped
    EXPECT_EQ(question.exec(), QMessageBox::Ok);

    run.runEnded({});
    EXPECT_FALSE(run.isRunning() || panel->isVisible());
    QTest::keyClicks(&elsewhere, "after");
    EXPECT_EQ(elsewhere.text(), u"after");
}

TEST(QtPrompter, AlertsAndProgressOfARunBelongToTheWindowThatStartedIt) {
    QWidget main, names;
    QtPrompter prompter;
    prompter.setParentWidget(&main);
    QWidget* parent = nullptr;
    prompter.setBoxHook([&](QMessageBox& box) {
        parent = box.parentWidget();
        QTimer::singleShot(0, &box, [&box] { box.done(0); });
    });
    {
        const RunOwner owner(names.window());
        prompter.notice(QStringLiteral("x"));
        EXPECT_EQ(parent, &names);
        WindowRunFrontEnd run(&main, nullptr);
        run.passBegins(QStringLiteral("Changing Names..."), 1, true);
        EXPECT_EQ(run.progressPanel()->parentWidget(), &names);
        run.runEnded({});
    }
    prompter.notice(QStringLiteral("x"));
    EXPECT_EQ(parent, &main);
}
