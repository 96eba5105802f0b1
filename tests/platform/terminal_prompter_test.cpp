#include "platform/terminal_prompter.h"

#include <gtest/gtest.h>

#include "platform/dbus_notifier.h"
#include "support/temp_home.h"

namespace {

struct Terminal {
    QString input, error;
    QTextStream in{&input}, err{&error};
    TerminalPrompter prompter;
    explicit Terminal(TerminalPrompter::Options options, QString answers = {})
        : input(std::move(answers)), prompter(in, err, options) {}
};

TEST(TerminalPrompter, AsksOnATerminalAndAnEmptyAnswerIsTheSafeOne) {
    // Only "y" takes the default button or continues; Enter alone, or the end of the
    // input, is "Cancel" or "Stop", as the capital N of the question says.
    Terminal t({false, true, false}, "y\nno\n\nY\n\n");
    for (bool expected : {true, false, false})
        EXPECT_EQ(t.prompter.confirm("Desktidy", "File these files?", "OK"), expected);
    EXPECT_EQ(t.prompter.fileError({2, Path("/x"), "Could not copy"}), FileErrorChoice::Continue);
    EXPECT_EQ(t.prompter.fileError({2, Path("/x"), "Could not copy"}), FileErrorChoice::Stop);
    EXPECT_FALSE(t.prompter.confirm("Desktidy", "File these files?", "OK"));
    EXPECT_TRUE(
        t.error.endsWith("desktidy: Could not copy\nContinue? (y = Continue, N = Stop) "
                         "Desktidy: File these files?\nOK? (y/N) "));
    EXPECT_FALSE(t.prompter.declinedWithoutTerminal());
}

TEST(TerminalPrompter, WithoutATerminalAQuestionIsCancelledAndSaysSo) {
    Terminal t({false, false, false});
    EXPECT_FALSE(t.prompter.confirm("Title", "Delete?", "Delete"));
    EXPECT_EQ(t.prompter.fileError({2, Path("/x"), "Could not copy"}), FileErrorChoice::Stop);
    EXPECT_TRUE(t.prompter.declinedWithoutTerminal());
    EXPECT_EQ(t.error,
              "Title: Delete?\n"
              "desktidy: no terminal to answer \u201cDelete\u201d or \u201cCancel\u201d; taken as "
              "Cancel (use --yes to answer \u201cDelete\u201d)\n"
              "desktidy: Could not copy\n"
              "desktidy: no terminal to answer \u201cContinue\u201d or \u201cStop\u201d; taken as "
              "Stop (use --yes to continue)\n");
}

// --yes takes the default button and continues; texts are shown as they are; progress is
// shown only on a terminal.
TEST(TerminalPrompter, AssumeYesTakesTheDefaultAndProgressShowsOnlyOnATerminal) {
    for (bool terminal : {false, true}) {
        Terminal t({true, false, terminal});
        EXPECT_TRUE(t.prompter.confirm("", "Name %@ %s", "Overwrite"));
        EXPECT_EQ(t.prompter.fileError({2, Path("/x"), "Could not copy"}),
                  FileErrorChoice::Continue);
        t.prompter.notice("Folder %@ at 100% %1");
        t.prompter.showStatus("Filing... a.txt");
        t.prompter.clearStatus();
        EXPECT_TRUE(t.error.contains("Folder %@ at 100% %1") && t.error.contains("Name %@ %s"));
        EXPECT_EQ(t.error.contains("Filing...") || t.error.contains("a.txt"), terminal);
    }
}

// With no session bus the notification is dropped; it neither fails nor waits for a bus.
TEST(DBusNotifier, ReturnsWithNoSessionBus) {
    TempHome home;  // no bus address, an empty runtime folder
    EXPECT_TRUE(DBusNotifier::sessionBusAddress().isEmpty());
    DBusNotifier().notify("Done filing all of your files", "All of the files", "Done Filing");
}

}  // namespace
