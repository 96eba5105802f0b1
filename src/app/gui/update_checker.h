#pragma once

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include "app/gui/appcast.h"

class QNetworkAccessManager;

// What an update check found.
struct UpdateAnswer {
    enum class Kind { NewerVersion, UpToDate, NoFeed, Failed };
    Kind kind = Kind::Failed;
    AppcastRelease newest;  // for NewerVersion
    QString error;          // for Failed
    bool interactive = false;
};

// Checks the update feed in the background: the request runs while the window stays in
// use, and finished() brings the answer. The feed address is a build setting; with none
// configured an interactive check says so and a background check stays silent.
class UpdateChecker : public QObject {
    Q_OBJECT
  public:
    explicit UpdateChecker(QUrl feed, QString currentVersion, QObject* parent = nullptr);

    // The address the program was built with (empty unless set at build time).
    static QUrl builtInFeed();

    // At launch: answers only when a newer version is found.
    void checkForUpdatesInBackground();
    // "Check for Updates...": always answers.
    void checkForUpdates();

    bool isChecking() const { return reply_ != nullptr; }

  Q_SIGNALS:
    void finished(const UpdateAnswer& answer);

  private:
    void start(bool interactive);
    void readReply(QNetworkReply* reply, bool interactive);

    QUrl feed_;
    QString currentVersion_;
    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    bool pendingInteractive_ = false;
};

Q_DECLARE_METATYPE(UpdateAnswer)
