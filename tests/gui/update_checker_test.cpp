#include "app/gui/update_checker.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QUrl>

#include "support/temp_home.h"

namespace {

QByteArray feedWith(const QStringList& versions) {
    QByteArray xml =
        "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/"
        "xml-namespaces/sparkle\"><channel><title>Desktidy</title>";
    for (const QString& v : versions)
        xml += QStringLiteral(
                   "<item><title>Desktidy %1</title><enclosure url=\"https://"
                   "example.org/desktidy-%1.tar.gz\" sparkle:version=\"%1\"/></item>")
                   .arg(v)
                   .toUtf8();
    return xml + "</channel></rss>";
}

// The answer to one check, or nothing when none came within the timeout.
std::optional<UpdateAnswer> answerOf(UpdateChecker& checker, bool interactive, int timeout = 5000) {
    QSignalSpy spy(&checker, &UpdateChecker::finished);
    interactive ? checker.checkForUpdates() : checker.checkForUpdatesInBackground();
    if (!spy.wait(timeout)) return std::nullopt;
    return spy.takeFirst().at(0).value<UpdateAnswer>();
}

}  // namespace

TEST(Appcast, TheNewestItemWinsWithItsDownloadLink) {
    auto newest = newestRelease(feedWith(QString("0.9|0.10|0.2").split(u'|')));
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->version, u"0.10");
    EXPECT_EQ(newest->link, QUrl(QStringLiteral("https://example.org/desktidy-0.10.tar.gz")));
    EXPECT_FALSE(isNewerVersion(QStringLiteral("0.1.0"), QStringLiteral("0.1")));

    // A plain feed gives the version in the title and the link as a link.
    newest = newestRelease(
        "<rss><channel><item><title>Version 2.1</title>"
        "<link>https://x/y</link></item></channel></rss>");
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
    const auto feed = [&](const char* name, const char* version) {
        return QUrl::fromLocalFile(writeFile(home / name, feedWith({QString(version)})));
    };
    UpdateChecker newer(feed("newer.xml", "9.0"), QStringLiteral("0.1.0"));
    auto answer = answerOf(newer, false);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->kind, UpdateAnswer::Kind::NewerVersion);
    EXPECT_EQ(answer->newest.version, u"9.0");

    UpdateChecker upToDate(feed("same.xml", "0.1.0"), QStringLiteral("0.1.0"));
    EXPECT_FALSE(answerOf(upToDate, false, 500));  // silent in the background
    EXPECT_EQ(answerOf(upToDate, true).value_or(UpdateAnswer{}).kind, UpdateAnswer::Kind::UpToDate);

    UpdateChecker noFeed(QUrl(), QStringLiteral("0.1.0"));
    EXPECT_FALSE(answerOf(noFeed, false, 200));
    EXPECT_EQ(answerOf(noFeed, true).value_or(UpdateAnswer{}).kind, UpdateAnswer::Kind::NoFeed);

    UpdateChecker missing(QUrl::fromLocalFile(home / "gone.xml"), QStringLiteral("0.1.0"));
    answer = answerOf(missing, true);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->kind, UpdateAnswer::Kind::Failed);
    EXPECT_FALSE(answer->error.isEmpty());
}
