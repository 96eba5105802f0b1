#include "app/gui/info_boxes.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

#include "app/gui/update_checker.h"

namespace {

QMessageBox* makeBox(QWidget* parent, const QString& title, const QString& text,
                     const QString& details) {
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setWindowTitle(title);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setInformativeText(details);
    box->setIcon(QMessageBox::Information);
    return box;
}

}  // namespace

QMessageBox* showAbout(QWidget* parent) {
    QMessageBox* box = makeBox(parent, QObject::tr("About Desktidy"), QStringLiteral("Desktidy"),
                               QObject::tr("Version %1\nKeeps your folders tidy by filing loose "
                                           "items into folders by their type.")
                                   .arg(QStringLiteral(DESKTIDY_VERSION)));
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->show();
    return box;
}

QMessageBox* showUpdateAnswer(QWidget* parent, const UpdateAnswer& answer) {
    const QString title = QObject::tr("Software Update");
    const QString current = QStringLiteral(DESKTIDY_VERSION);
    QMessageBox* box = nullptr;
    switch (answer.kind) {
        case UpdateAnswer::Kind::NewerVersion: {
            box = makeBox(parent, title,
                          QObject::tr("A new version of Desktidy is available: %1 (you have %2).")
                              .arg(answer.newest.version, current),
                          QObject::tr("Download it from:\n%1").arg(answer.newest.link.toString()));
            QPushButton* download =
                box->addButton(QObject::tr("Download"), QMessageBox::AcceptRole);
            box->addButton(QObject::tr("Later"), QMessageBox::RejectRole);
            const QUrl link = answer.newest.link;
            QObject::connect(download, &QPushButton::clicked, box,
                             [link] { QDesktopServices::openUrl(link); });
            break;
        }
        case UpdateAnswer::Kind::UpToDate:
            box = makeBox(parent, title, QObject::tr("You're up to date."),
                          QObject::tr("Desktidy %1 is the newest version available.").arg(current));
            break;
        case UpdateAnswer::Kind::NoFeed:
            box = makeBox(parent, title, QObject::tr("No update feed is configured."),
                          QObject::tr("This copy of Desktidy was built without an address to "
                                      "look for updates at."));
            break;
        case UpdateAnswer::Kind::Failed:
            box = makeBox(parent, title, QObject::tr("Desktidy could not check for updates."),
                          answer.error);
            box->setIcon(QMessageBox::Warning);
            break;
    }
    if (box->buttons().isEmpty()) box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->show();
    return box;
}
