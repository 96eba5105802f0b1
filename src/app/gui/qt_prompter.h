#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/prompter.h"

class QMessageBox;

// The window's prompter: every question and notice is a modal QMessageBox with the exact
// title, message and button texts it is given, shown as plain text so a name is never
// read as markup.
class QtPrompter : public Prompter {
  public:
    QtPrompter() = default;

    // The window the alerts belong to, centred on it, unless a RunOwner names another.
    void setParentWidget(QWidget* parent);

    bool confirm(const QString& title, const QString& message,
                 const QString& defaultButton) override;
    // The details sit in the box's expandable area, closed until asked for.
    bool confirmWithDetails(const QString& title, const QString& message,
                            const QString& defaultButton, const Details& details) override;
    bool confirmOr(const QString& title, const QString& message, const QString& defaultButton,
                   const QString& otherButton) override;
    void notice(const QString& message) override;
    void criticalNotice(const QString& message) override;
    FileErrorChoice fileError(const FileError& error) override;

    // Tests look at each box just before it is shown and answer it themselves.
    using BoxHook = std::function<void(QMessageBox&)>;
    void setBoxHook(BoxHook hook) { hook_ = std::move(hook); }

  private:
    int run(QMessageBox& box);
    bool ask(const QString& title, const QString& message, const QString& defaultButton,
             const QString& otherButton, const Details& details);

    QPointer<QWidget> parent_;
    BoxHook hook_;
};

// The three kinds of box the prompter shows, made with exact texts and plain text only.
// clicked tells afterwards which button the user took.
namespace alert_box {
void prepareConfirm(QMessageBox& box, const QString& title, const QString& message,
                    const QString& defaultButton,
                    const QString& otherButton = QStringLiteral("Cancel"));
void prepareNotice(QMessageBox& box, const QString& message, bool critical);
void prepareFileError(QMessageBox& box, const FileError& error);
}  // namespace alert_box
