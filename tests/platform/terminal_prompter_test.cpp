#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "platform/dbus_notifier.h"
#include "platform/terminal_prompter.h"
#include "support/temp_home.h"

namespace {

struct Terminal {
    QString input, error;
    QTextStream in{&input}, err{&error};
    TerminalPrompter prompter;
    explicit Terminal(TerminalPrompter::Options options, QString answers = {})
        : input(std::move(answers)), prompter(in, err, options) {}
};

TEST(TerminalPrompter, AsksOnATerminalAndTakesOnlyYesAsTheDefaultButton) {
    Terminal yes({false, true, false}, "y\nno\n\n");
    EXPECT_TRUE(yes.prompter.confirm("Desktidy", "File these files?", "OK"));
    EXPECT_FALSE(yes.prompter.confirm("Desktidy", "File these files?", "OK"));
    EXPECT_FALSE(yes.prompter.confirm("Desktidy", "File these files?", "OK"));
    EXPECT_FALSE(yes.prompter.declinedWithoutTerminal());
}

TEST(TerminalPrompter, WithoutATerminalAQuestionIsCancelledAndSaysSo) {
    Terminal t({false, false, false});
    EXPECT_FALSE(t.prompter.confirm("Title", "Delete?", "Delete"));
    EXPECT_EQ(t.prompter.fileError({2, "/x", "Could not copy"}), FileErrorChoice::Stop);
    EXPECT_TRUE(t.prompter.declinedWithoutTerminal());
    EXPECT_TRUE(t.error.contains("--yes"));
}

TEST(TerminalPrompter, AssumeYesTakesTheDefaultAndContinuesAfterErrors) {
    Terminal t({true, false, false});
    EXPECT_TRUE(t.prompter.confirm("Title", "Overwrite?", "Overwrite"));
    EXPECT_EQ(t.prompter.fileError({2, "/x", "Could not copy"}), FileErrorChoice::Continue);
}

TEST(TerminalPrompter, ShowsMessagesVerbatim) {
    Terminal t({true, false, false});
    t.prompter.notice("Folder %@ at 100% %1");
    t.prompter.confirm("", "Name %@ %s", "OK");
    EXPECT_TRUE(t.error.contains("Folder %@ at 100% %1"));
    EXPECT_TRUE(t.error.contains("Name %@ %s"));
}

TEST(TerminalPrompter, ProgressStaysOffStandardErrorWithoutATerminal) {
    Terminal t({true, false, false});
    t.prompter.openProgress("Filing...");
    t.prompter.showProgressItem("a.txt");
    t.prompter.closeProgress();
    EXPECT_TRUE(t.error.isEmpty());

    Terminal tty({true, false, true});
    tty.prompter.openProgress("Filing...");
    tty.prompter.showProgressItem("a.txt");
    tty.prompter.closeProgress();
    EXPECT_TRUE(tty.error.contains("a.txt"));
}

TEST(DBusNotifier, ReturnsAtOnceWithNoSessionBus) {
    TempHome home;  // no bus address, an empty runtime folder
    EXPECT_TRUE(DBusNotifier::sessionBusAddress().isEmpty());
    QElapsedTimer timer;
    timer.start();
    DBusNotifier().notify("Done filing all of your files", "All of the files", "Done Filing");
    EXPECT_LT(timer.elapsed(), 1000);
}

}  // namespace
