#include "app/gui/update_checker.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QUrl>

#include "support/temp_home.h"

namespace {

QByteArray feedWith(const QStringList& versions) {
    QByteArray xml =
        "<?xml version=\"1.0\"?><rss version=\"2.0\" "
        "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel>"
        "<title>Desktidy</title>";
    for (const QString& v : versions)
        xml += QStringLiteral(
                   "<item><title>Desktidy %1</title><enclosure url=\"https://example.org/"
                   "desktidy-%1.tar.gz\" sparkle:version=\"%1\" length=\"1\"/></item>")
                   .arg(v)
                   .toUtf8();
    return xml + "</channel></rss>";
}

UpdateAnswer awaitAnswer(UpdateChecker& checker, bool interactive, bool* answered,
                         int timeout = 5000) {
    QSignalSpy spy(&checker, &UpdateChecker::finished);
    interactive ? checker.checkForUpdates() : checker.checkForUpdatesInBackground();
    *answered = spy.wait(timeout);
    if (!*answered) return {};
    return spy.takeFirst().at(0).value<UpdateAnswer>();
}

}  // namespace

TEST(Appcast, TheNewestItemWinsWithItsDownloadLink) {
    auto newest = newestRelease(
        feedWith({QStringLiteral("0.9"), QStringLiteral("0.10"), QStringLiteral("0.2")}));
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->version, u"0.10");
    EXPECT_EQ(newest->link, QUrl(QStringLiteral("https://example.org/desktidy-0.10.tar.gz")));
    EXPECT_TRUE(isNewerVersion(QStringLiteral("0.10"), QStringLiteral("0.9")));
    EXPECT_FALSE(isNewerVersion(QStringLiteral("0.1.0"), QStringLiteral("0.1")));

    const QByteArray plain =
        "<rss><channel><item><title>Version 2.1</title><link>https://x/y</link>"
        "</item></channel></rss>";
    newest = newestRelease(plain);
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->version, u"2.1");
    EXPECT_EQ(newest->link, QUrl(QStringLiteral("https://x/y")));

    QString error;
    EXPECT_FALSE(newestRelease("not a feed <", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(newestRelease(feedWith({}), &error));
}

TEST(UpdateChecker, InteractiveCheckAlwaysAnswersAndBackgroundOnlyForNewer) {
    qRegisterMetaType<UpdateAnswer>();
    TempHome home;
    const QUrl newer =
        QUrl::fromLocalFile(writeFile(home / "newer.xml", feedWith({QStringLiteral("9.0")})));
    const QUrl same =
        QUrl::fromLocalFile(writeFile(home / "same.xml", feedWith({QStringLiteral("0.1.0")})));
    bool answered = false;

    UpdateChecker background(newer, QStringLiteral("0.1.0"));
    UpdateAnswer answer = awaitAnswer(background, false, &answered);
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer.kind, UpdateAnswer::Kind::NewerVersion);
    EXPECT_EQ(answer.newest.version, u"9.0");

    UpdateChecker upToDate(same, QStringLiteral("0.1.0"));
    awaitAnswer(upToDate, false, &answered, 500);
    EXPECT_FALSE(answered);  // silent in the background
    answer = awaitAnswer(upToDate, true, &answered);
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer.kind, UpdateAnswer::Kind::UpToDate);

    UpdateChecker noFeed(QUrl(), QStringLiteral("0.1.0"));
    awaitAnswer(noFeed, false, &answered, 200);
    EXPECT_FALSE(answered);
    answer = awaitAnswer(noFeed, true, &answered);
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer.kind, UpdateAnswer::Kind::NoFeed);

    UpdateChecker missing(QUrl::fromLocalFile(home / "gone.xml"), QStringLiteral("0.1.0"));
    answer = awaitAnswer(missing, true, &answered);
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer.kind, UpdateAnswer::Kind::Failed);
    EXPECT_FALSE(answer.error.isEmpty());
}
