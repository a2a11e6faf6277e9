#include "sync/collectionfinder.h"

#include <QHostAddress>
#include <QUuid>

namespace qb::sync {

namespace {

constexpr int maximumRedirects = 5;

const QString resourceType = dav::key(dav::davNamespace, "resourcetype");
const QString displayName = dav::key(dav::davNamespace, "displayname");
const QString principalKey = dav::key(dav::davNamespace, "current-user-principal");
const QString homeKey = dav::key(dav::caldavNamespace, "calendar-home-set");
const QString componentsKey = dav::key(dav::caldavNamespace, "supported-calendar-component-set");
const QString calendarType = dav::key(dav::caldavNamespace, "calendar");

bool isCalendar(const dav::Response &response) {
    return response.properties.value(resourceType).children.contains(calendarType);
}

// A calendar that does not say which components it takes takes them all.
bool holdsTodos(const dav::Response &response) {
    const QStringList components = response.properties.value(componentsKey).components;
    return components.isEmpty() ||
           components.contains(QStringLiteral("VTODO"), Qt::CaseInsensitive);
}

DavError notFound(const QString &message) {
    return {DavError::Kind::Missing, message, 0};
}

// The response about `url` itself in a multistatus.
const dav::Response *responseFor(const dav::Multistatus &multistatus, const QUrl &url) {
    const QString path = url.path(QUrl::FullyDecoded);
    for (const dav::Response &response : multistatus.responses) {
        if (response.href == path || response.href == path + u'/' || response.href + u'/' == path)
            return &response;
    }
    return multistatus.responses.size() == 1 ? &multistatus.responses.first() : nullptr;
}

QUrl withSlash(QUrl url) {
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

} // namespace

bool isAllowedServerUrl(const QUrl &url) {
    if (!url.isValid() || url.host().isEmpty())
        return false;
    if (url.scheme() == QLatin1String("https"))
        return true;
    if (url.scheme() != QLatin1String("http"))
        return false;
    const QString host = url.host();
    return host == QLatin1String("localhost") || QHostAddress(host).isLoopback();
}

CollectionFinder::CollectionFinder(HttpTransport &transport, const QString &user,
                                   const QString &password, QObject *parent)
    : QObject(parent)
    , m_client(transport, user, password) {}

void CollectionFinder::propfind(
    const QUrl &url, int depth, const QStringList &keys, int redirects,
    std::function<void(const DavResult<dav::Multistatus> &, const QUrl &)> done) {
    HttpRequest request{
        "PROPFIND",
        url,
        {{"Depth", QByteArray::number(depth)}, {"Content-Type", "application/xml; charset=utf-8"}},
        dav::propfindBody(keys)};
    m_client.send(request, [this, url, depth, keys, redirects, done](const HttpResponse &response) {
        const QByteArray location = response.header("location");
        if (response.status >= 300 && response.status < 400 && !location.isEmpty()) {
            const QUrl target = url.resolved(QUrl::fromEncoded(location));
            // Credentials never follow a redirect to another server or to plain http.
            if (redirects >= maximumRedirects || !isAllowedServerUrl(target) ||
                target.host() != url.host() ||
                (url.scheme() == QLatin1String("https") &&
                 target.scheme() != QLatin1String("https"))) {
                DavResult<dav::Multistatus> refused;
                refused.error = DavError{DavError::Kind::Unsupported,
                                         QStringLiteral("The server sent us to an address we "
                                                        "do not follow: %1")
                                             .arg(target.toDisplayString()),
                                         response.status};
                return done(refused, url);
            }
            return propfind(target, depth, keys, redirects + 1, done);
        }
        DavResult<dav::Multistatus> result;
        if (response.status != 207) {
            result.error = DavClient::errorOf(response);
            if (!result.error)
                result.error = DavError{DavError::Kind::Unsupported,
                                        QStringLiteral("This address does not answer like a "
                                                       "CalDAV server."),
                                        response.status};
            return done(result, url);
        }
        auto parsed = dav::parseMultistatus(response.body, url);
        if (!parsed)
            result.error = DavError{DavError::Kind::Unreadable, parsed.message(), 207};
        else
            result.value = parsed.value();
        done(result, url);
    });
}

void CollectionFinder::find(const QUrl &typed, const QString &listName, Done done) {
    // A user name or password typed into the address is never sent nor kept: the account's own
    // are the ones that sign in.
    QUrl start = typed;
    start.setUserInfo(QString());
    if (!isAllowedServerUrl(start)) {
        DavResult<FoundCollection> refused;
        refused.error = DavError{DavError::Kind::Unsupported,
                                 QStringLiteral("The address must start with https:// (plain "
                                                "http only for this computer)."),
                                 0};
        return done(refused);
    }
    const QStringList keys = {resourceType, displayName, componentsKey, principalKey, homeKey};
    propfind(
        start, 0, keys, 0,
        [this, start, listName, done](const DavResult<dav::Multistatus> &r, const QUrl &at) {
            if (r.error && r.error->kind != DavError::Kind::Unsupported &&
                r.error->kind != DavError::Kind::Missing)
                return done({r.error, {}});
            const dav::Response *self = r.ok() ? responseFor(r.value, at) : nullptr;
            if (self && isCalendar(*self)) {
                if (!holdsTodos(*self))
                    return done({notFound(QStringLiteral("This list does not hold to-dos.")), {}});
                // Named as the server names it: the name asked for went unused.
                const QString name = self->properties.value(displayName).text;
                return done(
                    {std::nullopt, {withSlash(at), name.isEmpty() ? listName : name, false}});
            }
            if (self && !self->properties.value(homeKey).hrefs.isEmpty())
                return inHome(dav::urlOf(at, self->properties.value(homeKey).hrefs.first()),
                              listName, done);
            if (self && !self->properties.value(principalKey).hrefs.isEmpty())
                return fromPrincipal(
                    dav::urlOf(at, self->properties.value(principalKey).hrefs.first()), listName,
                    done);
            // Nothing here: the server's well-known address names the principal.
            QUrl wellKnown = start;
            wellKnown.setPath(QStringLiteral("/.well-known/caldav"));
            propfind(wellKnown, 0, {principalKey}, 0,
                     [this, listName, done](const DavResult<dav::Multistatus> &r, const QUrl &at) {
                         if (r.error)
                             return done({r.error, {}});
                         const dav::Response *self = responseFor(r.value, at);
                         if (!self || self->properties.value(principalKey).hrefs.isEmpty())
                             return done({notFound(QStringLiteral(
                                              "No CalDAV account was found at this address.")),
                                          {}});
                         fromPrincipal(
                             dav::urlOf(at, self->properties.value(principalKey).hrefs.first()),
                             listName, done);
                     });
        });
}

void CollectionFinder::fromPrincipal(const QUrl &principal, const QString &listName, Done done) {
    propfind(
        principal, 0, {homeKey}, 0,
        [this, listName, done](const DavResult<dav::Multistatus> &r, const QUrl &at) {
            if (r.error)
                return done({r.error, {}});
            const dav::Response *self = responseFor(r.value, at);
            if (!self || self->properties.value(homeKey).hrefs.isEmpty())
                return done(
                    {notFound(QStringLiteral("The account has no calendars on this server.")), {}});
            inHome(dav::urlOf(at, self->properties.value(homeKey).hrefs.first()), listName, done);
        });
}

void CollectionFinder::inHome(const QUrl &home, const QString &listName, Done done) {
    propfind(home, 1, {resourceType, displayName, componentsKey}, 0,
             [this, listName, done](const DavResult<dav::Multistatus> &r, const QUrl &at) {
                 if (r.error)
                     return done({r.error, {}});
                 for (const dav::Response &response : r.value.responses) {
                     if (isCalendar(response) && holdsTodos(response) &&
                         response.properties.value(displayName).text == listName)
                         return done({std::nullopt,
                                      {withSlash(dav::urlOf(at, response.href)), listName, false}});
                 }
                 const QUrl made = withSlash(
                     dav::urlOf(at, withSlash(at).path(QUrl::FullyDecoded) +
                                        QUuid::createUuid().toString(QUuid::WithoutBraces) + u'/'));
                 m_client.makeCalendar(
                     made, listName, [made, listName, done](const DavResult<WriteOutcome> &r) {
                         if (r.error)
                             return done({r.error, {}});
                         if (r.value.status != 201)
                             return done({DavError{DavError::Kind::Unsupported,
                                                   QStringLiteral("The server did not make the "
                                                                  "list \"%1\" (%2).")
                                                       .arg(listName)
                                                       .arg(r.value.status),
                                                   r.value.status},
                                          {}});
                         done({std::nullopt, {made, listName, true}});
                     });
             });
}

} // namespace qb::sync
