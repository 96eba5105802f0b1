#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>

// One release listed in an update feed.
struct AppcastRelease {
    QString version;
    QUrl link;  // where to download it
};

// Reads an appcast, an RSS 2.0 feed with one <item> per release. An item's version is
// the sparkle:shortVersionString or sparkle:version of its <enclosure> or of the item
// itself, else its <title> when that reads as a version; its link is the enclosure's url,
// else the item's <link>. Gives the newest release, or nullopt when the feed is not XML
// or lists no version.
std::optional<AppcastRelease> newestRelease(const QByteArray& feed, QString* error = nullptr);

// True when version a is newer than b (dotted numbers: 0.10 is newer than 0.9).
bool isNewerVersion(const QString& a, const QString& b);
