#include "updates/appcast.h"

#include <QXmlStreamReader>

namespace qb {

namespace {

// Only web links leave the feed: the UI opens them, and a feed must not make it open a local
// file or anything stranger.
QUrl webUrl(const QString &text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return {};
    return url.scheme() == u"https" || url.scheme() == u"http" ? url : QUrl();
}

struct ItemFields {
    QString version;
    QString shortVersion;
    QString releaseNotes;
    QString link;
    QString enclosureUrl;
    QString enclosureVersion;
    QString enclosureShortVersion;

    AppcastItem toItem() const {
        AppcastItem item;
        item.version = (version.isEmpty() ? enclosureVersion : version).trimmed();
        item.shortVersion =
            (shortVersion.isEmpty() ? enclosureShortVersion : shortVersion).trimmed();
        item.releaseNotesUrl = webUrl(releaseNotes);
        item.downloadUrl = webUrl(enclosureUrl);
        if (item.downloadUrl.isEmpty())
            item.downloadUrl = webUrl(link);
        return item;
    }
};

void readEnclosure(QXmlStreamReader &xml, ItemFields &fields) {
    for (const QXmlStreamAttribute &attribute : xml.attributes()) {
        if (attribute.name() == u"url")
            fields.enclosureUrl = attribute.value().toString();
        else if (attribute.name() == u"version")
            fields.enclosureVersion = attribute.value().toString();
        else if (attribute.name() == u"shortVersionString")
            fields.enclosureShortVersion = attribute.value().toString();
    }
    xml.skipCurrentElement();
}

ItemFields readItem(QXmlStreamReader &xml) {
    ItemFields fields;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (name == u"enclosure")
            readEnclosure(xml, fields);
        else if (name == u"version")
            fields.version = xml.readElementText(QXmlStreamReader::SkipChildElements);
        else if (name == u"shortVersionString")
            fields.shortVersion = xml.readElementText(QXmlStreamReader::SkipChildElements);
        else if (name == u"releaseNotesLink")
            fields.releaseNotes = xml.readElementText(QXmlStreamReader::SkipChildElements);
        else if (name == u"link" && xml.namespaceUri().isEmpty())
            fields.link = xml.readElementText(QXmlStreamReader::SkipChildElements);
        else
            xml.skipCurrentElement();
    }
    return fields;
}

} // namespace

AppcastParse parseAppcast(const QByteArray &data) {
    const QString unreadable = QStringLiteral("The update feed could not be read.");
    QXmlStreamReader xml(data);
    if (!xml.readNextStartElement() || xml.name() != u"rss")
        return {{}, unreadable};

    AppcastParse result;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"channel") {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() != u"item") {
                xml.skipCurrentElement();
                continue;
            }
            const AppcastItem item = readItem(xml).toItem();
            if (!item.version.isEmpty())
                result.items.append(item);
        }
    }
    // Drain the rest so trailing garbage after </rss> is caught too.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return {{}, unreadable};
    return result;
}

} // namespace qb
