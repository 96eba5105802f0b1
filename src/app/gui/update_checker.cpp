#include "app/gui/update_checker.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#ifndef DESKTIDY_UPDATE_FEED
#define DESKTIDY_UPDATE_FEED ""
#endif

UpdateChecker::UpdateChecker(QUrl feed, QString currentVersion, QObject* parent)
    : QObject(parent),
      feed_(std::move(feed)),
      currentVersion_(std::move(currentVersion)),
      network_(new QNetworkAccessManager(this)) {}

QUrl UpdateChecker::builtInFeed() { return QUrl(QStringLiteral(DESKTIDY_UPDATE_FEED)); }

void UpdateChecker::checkForUpdatesInBackground() { start(false); }

void UpdateChecker::checkForUpdates() { start(true); }

void UpdateChecker::start(bool interactive) {
    if (feed_.isEmpty()) {
        if (interactive) {
            UpdateAnswer answer;
            answer.kind = UpdateAnswer::Kind::NoFeed;
            answer.interactive = true;
            // Answer from the event loop, as a real check would.
            QTimer::singleShot(0, this, [this, answer] { Q_EMIT finished(answer); });
        }
        return;
    }
    if (reply_) {
        // A check is under way: its answer serves this request too.
        pendingInteractive_ = pendingInteractive_ || interactive;
        return;
    }
    pendingInteractive_ = interactive;
    QNetworkRequest request(feed_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(30000);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Desktidy/%1").arg(currentVersion_));
    reply_ = network_->get(request);
    QNetworkReply* reply = reply_;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        reply_ = nullptr;
        readReply(reply, pendingInteractive_);
    });
}

void UpdateChecker::readReply(QNetworkReply* reply, bool interactive) {
    UpdateAnswer answer;
    answer.interactive = interactive;
    if (reply->error() != QNetworkReply::NoError) {
        answer.error = reply->errorString();
    } else if (auto newest = newestRelease(reply->readAll(), &answer.error)) {
        answer.newest = *newest;
        answer.kind = isNewerVersion(newest->version, currentVersion_)
                          ? UpdateAnswer::Kind::NewerVersion
                          : UpdateAnswer::Kind::UpToDate;
    }
    // A background check speaks only of a newer version.
    if (!interactive && answer.kind != UpdateAnswer::Kind::NewerVersion) return;
    Q_EMIT finished(answer);
}
