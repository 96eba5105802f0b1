#include "platform/terminal_prompter.h"

TerminalPrompter::TerminalPrompter(QTextStream& input, QTextStream& err, Options options)
    : in_(input), err_(err), options_(options) {}

bool TerminalPrompter::ask(const QString& question) {
    err_ << question << Qt::flush;
    const QString answer = in_.readLine().trimmed().toLower();
    return answer == u"y" || answer == u"yes";
}

bool TerminalPrompter::confirm(const QString& title, const QString& message,
                               const QString& defaultButton) {
    endProgressLine();
    if (!title.isEmpty()) err_ << title << ": ";
    err_ << message << Qt::endl;
    if (options_.assumeYes) {
        err_ << "(" << defaultButton << ")" << Qt::endl;
        return true;
    }
    if (!options_.interactive) {
        declinedWithoutTerminal_ = true;
        err_ << "desktidy: no terminal to answer \u201c" << defaultButton
             << "\u201d or \u201cCancel\u201d; taken as Cancel (use --yes to answer \u201c"
             << defaultButton << "\u201d)" << Qt::endl;
        return false;
    }
    return ask(QStringLiteral("%1? (y/N) ").arg(defaultButton));
}

void TerminalPrompter::notice(const QString& message) {
    endProgressLine();
    err_ << message << Qt::endl;
}

void TerminalPrompter::criticalNotice(const QString& message) {
    endProgressLine();
    err_ << "desktidy: " << message << Qt::endl;
}

FileErrorChoice TerminalPrompter::fileError(const FileError& error) {
    endProgressLine();
    err_ << "desktidy: " << error.message << Qt::endl;
    if (options_.assumeYes) {
        err_ << "(Continue)" << Qt::endl;
        return FileErrorChoice::Continue;
    }
    if (!options_.interactive) {
        declinedWithoutTerminal_ = true;
        err_ << "desktidy: no terminal to answer \u201cContinue\u201d or \u201cStop\u201d; "
                "taken as Stop (use --yes to continue)"
             << Qt::endl;
        return FileErrorChoice::Stop;
    }
    return ask(QStringLiteral("Continue? (y = Continue, N = Stop) ")) ? FileErrorChoice::Continue
                                                                      : FileErrorChoice::Stop;
}

void TerminalPrompter::showStatus(const QString& text) {
    if (!options_.showProgress) return;
    err_ << "\r\033[K" << text << Qt::flush;
    progressLineOpen_ = true;
}

void TerminalPrompter::clearStatus() {
    if (!options_.showProgress || !progressLineOpen_) return;
    err_ << "\r\033[K" << Qt::flush;
    progressLineOpen_ = false;
}

void TerminalPrompter::endProgressLine() {
    if (progressLineOpen_) err_ << Qt::endl;
    progressLineOpen_ = false;
}

void TerminalNotifier::notify(const QString& title, const QString& description,
                              const QString& notificationName) {
    err_ << title << Qt::endl;
    if (desktop_) desktop_->notify(title, description, notificationName);
}
