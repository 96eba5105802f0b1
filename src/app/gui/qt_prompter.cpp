#include "app/gui/qt_prompter.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/gui/run_owner.h"

namespace alert_box {

namespace {
void prepare(QMessageBox& box, const QString& title, const QString& message,
             QMessageBox::Icon icon) {
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(message);
    box.setIcon(icon);
    box.setWindowModality(Qt::ApplicationModal);
}
}  // namespace

void prepareConfirm(QMessageBox& box, const QString& title, const QString& message,
                    const QString& defaultButton, const QString& otherButton) {
    prepare(box, title, message, QMessageBox::Question);
    QPushButton* yes = box.addButton(defaultButton, QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(otherButton, QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
}

void prepareNotice(QMessageBox& box, const QString& message, bool critical) {
    prepare(box, QString(), message, critical ? QMessageBox::Critical : QMessageBox::Information);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
}

void prepareFileError(QMessageBox& box, const FileError& error) {
    prepare(box, QString(), error.message, QMessageBox::Warning);
    if (!error.path.isEmpty()) box.setInformativeText(error.path.display());
    QPushButton* go = box.addButton(QStringLiteral("Continue"), QMessageBox::AcceptRole);
    QPushButton* stop = box.addButton(QStringLiteral("Stop"), QMessageBox::RejectRole);
    box.setDefaultButton(go);
    box.setEscapeButton(stop);
}

}  // namespace alert_box

void QtPrompter::setParentWidget(QWidget* parent) { parent_ = parent; }

int QtPrompter::run(QMessageBox& box) {
    if (hook_) hook_(box);
    if (box.clickedButton()) return 0;  // answered by the hook
    return box.exec();
}

bool QtPrompter::confirm(const QString& title, const QString& message,
                         const QString& defaultButton) {
    return ask(title, message, defaultButton, QStringLiteral("Cancel"), nullptr);
}

bool QtPrompter::confirmWithDetails(const QString& title, const QString& message,
                                    const QString& defaultButton, const Details& details) {
    return ask(title, message, defaultButton, QStringLiteral("Cancel"), details);
}

bool QtPrompter::confirmOr(const QString& title, const QString& message,
                           const QString& defaultButton, const QString& otherButton) {
    return ask(title, message, defaultButton, otherButton, nullptr);
}

bool QtPrompter::ask(const QString& title, const QString& message, const QString& defaultButton,
                     const QString& otherButton, const Details& details) {
    QMessageBox box(RunOwner::currentOr(parent_));
    alert_box::prepareConfirm(box, title, message, defaultButton, otherButton);
    if (details) box.setDetailedText(details());
    run(box);
    // Closing the box counts as its escape button, the other answer.
    return box.clickedButton() == box.defaultButton();
}

void QtPrompter::notice(const QString& message) {
    QMessageBox box(RunOwner::currentOr(parent_));
    alert_box::prepareNotice(box, message, false);
    run(box);
}

void QtPrompter::criticalNotice(const QString& message) {
    QMessageBox box(RunOwner::currentOr(parent_));
    alert_box::prepareNotice(box, message, true);
    run(box);
}

FileErrorChoice QtPrompter::fileError(const FileError& error) {
    QMessageBox box(RunOwner::currentOr(parent_));
    alert_box::prepareFileError(box, error);
    run(box);
    return box.clickedButton() == box.escapeButton() ? FileErrorChoice::Stop
                                                     : FileErrorChoice::Continue;
}
