#pragma once

#include "store/status.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace qb::sync::dav {

inline constexpr auto davNamespace = "DAV:";
inline constexpr auto caldavNamespace = "urn:ietf:params:xml:ns:caldav";

// A property by namespace and local name, as "DAV:|getetag".
QString key(const char *ns, const char *name);

// What a property held: its text, the hrefs inside it, the names (as keys) of its child
// elements and the `name` attributes of CalDAV comp elements.
struct Property {
    QString text;
    QStringList hrefs;
    QStringList children;
    QStringList components;
};

struct Response {
    QString href;   // the resource's path, percent-decoded
    int status = 0; // a status for the whole response (a removed member's 404), else 0
    QHash<QString, Property> properties; // those reported with a 2xx status
};

struct Multistatus {
    QList<Response> responses;
    QString syncToken;
};

// Parses a 207 body; hrefs are resolved against `requestUrl`.
Result<Multistatus> parseMultistatus(const QByteArray &xml, const QUrl &requestUrl);
// The precondition names (as keys) inside a DAV error body, such as valid-sync-token.
QStringList errorConditions(const QByteArray &xml);

// A path as the server named it, percent-decoded; and back into a URL on the same server.
QString pathOf(const QString &href, const QUrl &base);
QUrl urlOf(const QUrl &base, const QString &path);

QByteArray propfindBody(const QStringList &keys);
QByteArray syncCollectionBody(const QString &token);
QByteArray multigetBody(const QStringList &paths);
// Every VTODO in the collection with its entity tag.
QByteArray todoListingBody();
QByteArray mkcalendarBody(const QString &displayName);

} // namespace qb::sync::dav
