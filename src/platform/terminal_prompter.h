#pragma once

#include <QTextStream>

#include "platform/notifier.h"
#include "platform/prompter.h"

// The command line's prompter. Everything it says goes to the error stream, so standard
// output carries only a command's result. A question is asked on the terminal; with
// assumeYes it takes the default button; with no terminal it counts as "Cancel" and
// says so.
class TerminalPrompter : public Prompter {
  public:
    struct Options {
        bool assumeYes = false;
        bool interactive = false;   // a terminal is there to answer
        bool showProgress = false;  // the error stream is a terminal
    };

    TerminalPrompter(QTextStream& input, QTextStream& err, Options options);

    bool confirm(const QString& title, const QString& message,
                 const QString& defaultButton) override;
    void notice(const QString& message) override;
    void criticalNotice(const QString& message) override;
    FileErrorChoice fileError(const FileError& error) override;

    // True once a question went unanswered for lack of a terminal.
    bool declinedWithoutTerminal() const { return declinedWithoutTerminal_; }

    // A run's progress, on the terminal's last line when the error stream is a terminal
    // (nothing otherwise); a question or notice first ends the line.
    void showStatus(const QString& text);
    void clearStatus();

  private:
    bool ask(const QString& question);
    void endProgressLine();

    QTextStream& in_;
    QTextStream& err_;
    Options options_;
    bool progressLineOpen_ = false;
    bool declinedWithoutTerminal_ = false;

  public:
    // Added for commands that act only when told to: true under --yes.
    bool assumesYes() const { return options_.assumeYes; }
};

// Echoes a notification's title on the terminal, besides the desktop's notification.
class TerminalNotifier : public Notifier {
  public:
    TerminalNotifier(QTextStream& err, Notifier* desktop) : err_(err), desktop_(desktop) {}
    void notify(const QString& title, const QString& description,
                const QString& notificationName) override;

  private:
    QTextStream& err_;
    Notifier* desktop_;
};
