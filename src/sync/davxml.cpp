#include "sync/davxml.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace qb::sync::dav {

namespace {

QString keyOf(const QXmlStreamReader &xml) {
    return xml.namespaceUri().toString() + u'|' + xml.name().toString();
}

int statusCode(const QString &line) {
    // "HTTP/1.1 404 Not Found"
    const QStringList parts = line.simplified().split(u' ');
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

const QString hrefKey = key(davNamespace, "href");
const QString statusKey = key(davNamespace, "status");
const QString propKey = key(davNamespace, "prop");
const QString propstatKey = key(davNamespace, "propstat");
const QString responseKey = key(davNamespace, "response");
const QString syncTokenKey = key(davNamespace, "sync-token");
const QString compKey = key(caldavNamespace, "comp");

// Reads one property element (the reader is on its start) to its end.
Property readProperty(QXmlStreamReader &xml, const QUrl &base) {
    Property property;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            ++depth;
            const QString name = keyOf(xml);
            if (depth == 2)
                property.children.append(name);
            if (name == compKey)
                property.components.append(
                    xml.attributes().value(QLatin1String("name")).toString());
            if (name == hrefKey) {
                property.hrefs.append(pathOf(xml.readElementText().trimmed(), base));
                --depth;
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (depth == 1)
                property.text += xml.text();
            break;
        default:
            break;
        }
    }
    return property;
}

// One propstat: its properties kept when its status is 2xx.
void readPropstat(QXmlStreamReader &xml, const QUrl &base, Response &response) {
    QHash<QString, Property> properties;
    int status = 200;
    while (xml.readNextStartElement()) {
        const QString name = keyOf(xml);
        if (name == propKey) {
            while (xml.readNextStartElement()) {
                const QString property = keyOf(xml);
                properties.insert(property, readProperty(xml, base));
            }
        } else if (name == statusKey) {
            status = statusCode(xml.readElementText());
        } else {
            xml.skipCurrentElement();
        }
    }
    if (status >= 200 && status < 300)
        response.properties.insert(properties);
}

Response readResponse(QXmlStreamReader &xml, const QUrl &base) {
    Response response;
    while (xml.readNextStartElement()) {
        const QString name = keyOf(xml);
        if (name == hrefKey)
            response.href = pathOf(xml.readElementText().trimmed(), base);
        else if (name == statusKey)
            response.status = statusCode(xml.readElementText());
        else if (name == propstatKey)
            readPropstat(xml, base, response);
        else
            xml.skipCurrentElement();
    }
    return response;
}

void writeHref(QXmlStreamWriter &xml, const QString &path) {
    QUrl url;
    url.setPath(path, QUrl::DecodedMode);
    xml.writeTextElement(QLatin1String(davNamespace), QStringLiteral("href"),
                         url.path(QUrl::FullyEncoded));
}

// Writes <prop> with one empty element per key.
void writeProp(QXmlStreamWriter &xml, const QStringList &keys) {
    xml.writeStartElement(QLatin1String(davNamespace), QStringLiteral("prop"));
    for (const QString &k : keys) {
        const qsizetype bar = k.indexOf(u'|');
        xml.writeEmptyElement(k.left(bar), k.mid(bar + 1));
    }
    xml.writeEndElement();
}

// A request body: the root element, what `fill` writes inside it, every element closed.
template <typename Fill> QByteArray document(const char *ns, const char *root, Fill fill) {
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(QLatin1String(davNamespace), QStringLiteral("d"));
    xml.writeNamespace(QLatin1String(caldavNamespace), QStringLiteral("c"));
    xml.writeStartElement(QLatin1String(ns), QLatin1String(root));
    fill(xml);
    xml.writeEndDocument();
    return body;
}

} // namespace

QString key(const char *ns, const char *name) {
    return QLatin1String(ns) + u'|' + QLatin1String(name);
}

QString pathOf(const QString &href, const QUrl &base) {
    const QUrl resolved = base.resolved(QUrl::fromEncoded(href.toUtf8()));
    return resolved.path(QUrl::FullyDecoded);
}

QUrl urlOf(const QUrl &base, const QString &path) {
    QUrl url = base;
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

Result<Multistatus> parseMultistatus(const QByteArray &body, const QUrl &requestUrl) {
    QXmlStreamReader xml(body);
    Multistatus result;
    if (!xml.readNextStartElement() || keyOf(xml) != key(davNamespace, "multistatus"))
        return StoreError{QStringLiteral("The server's answer is not a WebDAV multistatus")};
    while (xml.readNextStartElement()) {
        const QString name = keyOf(xml);
        if (name == responseKey)
            result.responses.append(readResponse(xml, requestUrl));
        else if (name == syncTokenKey)
            result.syncToken = xml.readElementText().trimmed();
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError())
        return StoreError{
            QStringLiteral("The server's answer is malformed XML: %1").arg(xml.errorString())};
    return result;
}

QStringList errorConditions(const QByteArray &body) {
    QXmlStreamReader xml(body);
    QStringList conditions;
    if (!xml.readNextStartElement() || keyOf(xml) != key(davNamespace, "error"))
        return conditions;
    while (xml.readNextStartElement()) {
        conditions.append(keyOf(xml));
        xml.skipCurrentElement();
    }
    return conditions;
}

QByteArray propfindBody(const QStringList &keys) {
    return document(davNamespace, "propfind", [&](QXmlStreamWriter &xml) { writeProp(xml, keys); });
}

QByteArray syncCollectionBody(const QString &token) {
    return document(davNamespace, "sync-collection", [&](QXmlStreamWriter &xml) {
        const QString dav = QLatin1String(davNamespace);
        xml.writeTextElement(dav, QStringLiteral("sync-token"), token);
        xml.writeTextElement(dav, QStringLiteral("sync-level"), QStringLiteral("1"));
        writeProp(xml, {key(davNamespace, "getetag")});
    });
}

QByteArray multigetBody(const QStringList &paths) {
    return document(caldavNamespace, "calendar-multiget", [&](QXmlStreamWriter &xml) {
        writeProp(xml, {key(davNamespace, "getetag"), key(caldavNamespace, "calendar-data")});
        for (const QString &path : paths)
            writeHref(xml, path);
    });
}

QByteArray todoListingBody() {
    return document(caldavNamespace, "calendar-query", [](QXmlStreamWriter &xml) {
        const QString caldav = QLatin1String(caldavNamespace);
        writeProp(xml, {key(davNamespace, "getetag")});
        xml.writeStartElement(caldav, QStringLiteral("filter"));
        xml.writeStartElement(caldav, QStringLiteral("comp-filter"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VCALENDAR"));
        xml.writeEmptyElement(caldav, QStringLiteral("comp-filter"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VTODO"));
    });
}

QByteArray mkcalendarBody(const QString &displayName) {
    return document(caldavNamespace, "mkcalendar", [&](QXmlStreamWriter &xml) {
        const QString dav = QLatin1String(davNamespace);
        const QString caldav = QLatin1String(caldavNamespace);
        xml.writeStartElement(dav, QStringLiteral("set"));
        xml.writeStartElement(dav, QStringLiteral("prop"));
        xml.writeTextElement(dav, QStringLiteral("displayname"), displayName);
        xml.writeStartElement(caldav, QStringLiteral("supported-calendar-component-set"));
        xml.writeEmptyElement(caldav, QStringLiteral("comp"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VTODO"));
    });
}

} // namespace qb::sync::dav
