#include "app/gui/appcast.h"

#include <QRegularExpression>
#include <QVersionNumber>
#include <QXmlStreamReader>

namespace {

QVersionNumber versionOf(const QString& text) {
    // 1.0 and 1.0.0 name the same version.
    return QVersionNumber::fromString(text.trimmed()).normalized();
}

// "Desktidy 1.2" or "Version 1.2" as a title still names a version.
QString versionInTitle(const QString& title) {
    static const QRegularExpression number(QStringLiteral("(\\d+(?:\\.\\d+)+|\\d+)"));
    const auto match = number.match(title);
    return match.hasMatch() ? match.captured(1) : QString();
}

struct ItemReader {
    QString shortVersion, version, title, enclosureUrl, link;

    AppcastRelease release() const {
        QString v = !shortVersion.isEmpty() ? shortVersion : version;
        if (v.isEmpty()) v = versionInTitle(title);
        return {v.trimmed(), QUrl(!enclosureUrl.isEmpty() ? enclosureUrl : link.trimmed())};
    }
};

void readAttributes(const QXmlStreamAttributes& attributes, ItemReader& item) {
    for (const QXmlStreamAttribute& a : attributes) {
        const QStringView name = a.name();
        if (name == u"shortVersionString")
            item.shortVersion = a.value().toString();
        else if (name == u"version")
            item.version = a.value().toString();
        else if (name == u"url")
            item.enclosureUrl = a.value().toString();
    }
}

}  // namespace

bool isNewerVersion(const QString& a, const QString& b) {
    return QVersionNumber::compare(versionOf(a), versionOf(b)) > 0;
}

std::optional<AppcastRelease> newestRelease(const QByteArray& feed, QString* error) {
    QXmlStreamReader xml(feed);
    std::optional<AppcastRelease> newest;
    std::optional<ItemReader> item;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QStringView name = xml.name();
            if (name == u"item") {
                item.emplace();
            } else if (item && name == u"enclosure") {
                readAttributes(xml.attributes(), *item);
            } else if (item && name == u"shortVersionString") {
                item->shortVersion = xml.readElementText();
            } else if (item && name == u"version") {
                item->version = xml.readElementText();
            } else if (item && name == u"title") {
                item->title = xml.readElementText();
            } else if (item && name == u"link") {
                item->link = xml.readElementText();
            }
        } else if (xml.isEndElement() && xml.name() == u"item" && item) {
            const AppcastRelease release = item->release();
            item.reset();
            if (versionOf(release.version).isNull()) continue;
            if (!newest || isNewerVersion(release.version, newest->version)) newest = release;
        }
    }
    if (xml.hasError()) {
        if (error) *error = xml.errorString();
        return std::nullopt;
    }
    if (!newest && error) *error = QStringLiteral("The update feed lists no version.");
    return newest;
}
