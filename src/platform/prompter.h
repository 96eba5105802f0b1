#pragma once

#include <QString>
#include <functional>

#include "platform/file_error.h"

// The file-error alert's two buttons: carry on with the next item, or stop the run.
enum class FileErrorChoice { Continue, Stop };

// Every question, notice and file-error alert the program shows goes through this
// interface: Qt dialogs in the window, the terminal on the command line, a scripted fake in
// tests. Messages are shown verbatim, never read as format strings. A run's progress and its
// Cancel go through its RunObserver instead.
class Prompter {
  public:
    virtual ~Prompter() = default;

    // A modal question with a default button ("OK", "Overwrite", "Delete") and "Cancel".
    // True unless the user chose "Cancel".
    virtual bool confirm(const QString& title, const QString& message,
                         const QString& defaultButton) = 0;
    // The same question with details: what the run will do, item by item, for the user
    // who asks to see it. They are made only when shown (a plan of a large folder takes a
    // while): a prompter with no room for them asks without and never calls details.
    using Details = std::function<QString()>;
    virtual bool confirmWithDetails(const QString& title, const QString& message,
                                    const QString& defaultButton, const Details& details) {
        (void)details;
        return confirm(title, message, defaultButton);
    }
    // A question whose other answer is not "Cancel" but has a name of its own ("Keep").
    virtual bool confirmOr(const QString& title, const QString& message,
                           const QString& defaultButton, const QString& otherButton) {
        (void)otherButton;
        return confirm(title, message, defaultButton);
    }
    // A notice with no title and a single default button.
    virtual void notice(const QString& message) = 0;
    // The same, in the critical form.
    virtual void criticalNotice(const QString& message) = 0;
    // The alert made from a failed file operation.
    virtual FileErrorChoice fileError(const FileError& error) = 0;
};
