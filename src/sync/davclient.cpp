#include "sync/davclient.h"

#include <QCoreApplication>
#include <QThreadPool>

namespace qb::sync {

namespace {

const QString getetag = dav::key(dav::davNamespace, "getetag");
// Answers from this size on are read off the main thread.
constexpr qsizetype largeAnswer = 256 * 1024;
const QString calendarData = dav::key(dav::caldavNamespace, "calendar-data");

DavError unreadable(const QString &detail) {
    return {DavError::Kind::Unreadable,
            QStringLiteral("The server's answer could not be read (%1).").arg(detail)};
}

// The caller's completion, dropped when the client is gone.
template <typename F> auto guarded(QObject *client, F handle) {
    return [client = QPointer<QObject>(client), handle](const HttpResponse &response) {
        if (client)
            handle(response);
    };
}

} // namespace

DavClient::DavClient(HttpTransport &transport, const QString &user, const QString &password,
                     QObject *parent)
    : QObject(parent)
    , m_transport(transport)
    , m_authorization("Basic " + (user + u':' + password).toUtf8().toBase64()) {}

std::optional<DavError> DavClient::errorOf(const HttpResponse &response) {
    const int status = response.status;
    if (status == 0)
        return DavError{DavError::Kind::Unreachable, response.error, 0};
    if (status >= 200 && status < 300)
        return std::nullopt;
    if (status == 401)
        return DavError{DavError::Kind::Credentials,
                        QStringLiteral("The server did not accept the user name or password."),
                        status};
    if (status == 403)
        return DavError{DavError::Kind::Forbidden,
                        QStringLiteral("The server refused access to the list."), status};
    if (status == 404 || status == 410)
        return DavError{DavError::Kind::Missing,
                        QStringLiteral("The list was not found on the server."), status};
    // "Not Implemented" is a server without the method or report asked for, not one in trouble:
    // the caller may fall back to another way.
    if (status >= 500 && status != 501)
        return DavError{DavError::Kind::Server,
                        QStringLiteral("The server reported an error (%1).").arg(status), status};
    return DavError{DavError::Kind::Unsupported,
                    QStringLiteral("The server refused the request (%1).").arg(status), status};
}

void DavClient::send(HttpRequest request, HttpTransport::Completion done) {
    request.headers.emplaceBack("Authorization", m_authorization);
    request.headers.emplaceBack("User-Agent", "QuillBrook/" QB_VERSION);
    m_transport.send(request, guarded(this, std::move(done)));
}

void DavClient::multistatus(const QByteArray &method, const QUrl &url, int depth,
                            const QByteArray &body, Done<dav::Multistatus> done) {
    HttpRequest request{
        method,
        url,
        {{"Depth", QByteArray::number(depth)}, {"Content-Type", "application/xml; charset=utf-8"}},
        body};
    send(request, [this, url, done](const HttpResponse &response) {
        DavResult<dav::Multistatus> result;
        if (response.status != 207) {
            result.error = errorOf(response);
            if (!result.error)
                result.error = unreadable(QStringLiteral("status %1").arg(response.status));
            else if (dav::errorConditions(response.body)
                         .contains(dav::key(dav::davNamespace, "valid-sync-token")))
                result.error->kind = DavError::Kind::InvalidToken;
            done(result);
            return;
        }
        readMultistatus(response.body, url, done);
    });
}

void DavClient::readMultistatus(const QByteArray &body, const QUrl &url,
                                Done<dav::Multistatus> done) {
    const auto read = [body, url] {
        DavResult<dav::Multistatus> result;
        auto parsed = dav::parseMultistatus(body, url);
        if (!parsed)
            result.error = unreadable(parsed.message());
        else
            result.value = std::move(parsed.value());
        return result;
    };
    if (body.size() < largeAnswer) {
        done(read());
        return;
    }
    // A listing of thousands of members takes the main thread a noticeable while to read: it
    // is read on a pool thread, and the answer comes back through the event loop to this
    // client if it still exists.
    QThreadPool::globalInstance()->start([read, done, client = QPointer<DavClient>(this)] {
        DavResult<dav::Multistatus> result = read();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [result = std::move(result), done, client] {
                if (client)
                    done(result);
            },
            Qt::QueuedConnection);
    });
}

void DavClient::propfind(const QUrl &url, int depth, const QStringList &keys,
                         Done<dav::Multistatus> done) {
    multistatus("PROPFIND", url, depth, dav::propfindBody(keys), std::move(done));
}

void DavClient::syncCollection(const QUrl &collection, const QString &token,
                               Done<SyncReport> done) {
    multistatus("REPORT", collection, 1, dav::syncCollectionBody(token),
                [collection, token, done](const DavResult<dav::Multistatus> &answer) {
                    DavResult<SyncReport> result;
                    result.error = answer.error;
                    if (answer.error) {
                        // Some servers answer an unknown token with a plain 403, 409 or 410.
                        if (!token.isEmpty() &&
                            (answer.error->status == 403 || answer.error->status == 409 ||
                             answer.error->status == 410))
                            result.error->kind = DavError::Kind::InvalidToken;
                        done(result);
                        return;
                    }
                    const QString self = collection.path(QUrl::FullyDecoded);
                    result.value.token = answer.value.syncToken;
                    for (const dav::Response &response : answer.value.responses) {
                        if (response.href == self || response.href + u'/' == self) {
                            // RFC 6578: the collection itself with 507 means more changes follow.
                            result.value.truncated = response.status == 507;
                            continue;
                        }
                        if (response.status == 404)
                            result.value.removed.append(response.href);
                        else if (response.properties.contains(getetag))
                            result.value.changed.append(
                                {response.href, response.properties.value(getetag).text.trimmed()});
                    }
                    done(result);
                });
}

void DavClient::listTodos(const QUrl &collection, Done<QList<ResourceTag>> done) {
    multistatus("REPORT", collection, 1, dav::todoListingBody(),
                [done](const DavResult<dav::Multistatus> &answer) {
                    DavResult<QList<ResourceTag>> result;
                    result.error = answer.error;
                    for (const dav::Response &response : answer.value.responses) {
                        if (response.properties.contains(getetag))
                            result.value.append(
                                {response.href, response.properties.value(getetag).text.trimmed()});
                    }
                    done(result);
                });
}

void DavClient::multiget(const QUrl &collection, const QStringList &paths,
                         Done<QList<FetchedObject>> done) {
    multistatus("REPORT", collection, 1, dav::multigetBody(paths),
                [done](const DavResult<dav::Multistatus> &answer) {
                    DavResult<QList<FetchedObject>> result;
                    result.error = answer.error;
                    for (const dav::Response &response : answer.value.responses) {
                        // Members gone since they were listed come back with 404: skipped.
                        if (!response.properties.contains(calendarData))
                            continue;
                        result.value.append(
                            {response.href, response.properties.value(getetag).text.trimmed(),
                             response.properties.value(calendarData).text.toUtf8()});
                    }
                    done(result);
                });
}

void DavClient::get(const QUrl &url, Done<FetchedObject> done) {
    send({"GET", url, {{"Accept", "text/calendar"}}, {}},
         [url, done](const HttpResponse &response) {
             DavResult<FetchedObject> result;
             result.error = errorOf(response);
             if (!result.error)
                 result.value = {url.path(QUrl::FullyDecoded),
                                 QString::fromUtf8(response.header("etag")), response.body};
             done(result);
         });
}

namespace {

// Refusals the caller decides about are outcomes; the rest are errors.
DavResult<WriteOutcome> writeResult(const HttpResponse &response) {
    DavResult<WriteOutcome> result;
    const int status = response.status;
    result.value = {status, QString::fromUtf8(response.header("etag")),
                    dav::errorConditions(response.body)};
    const bool decided = status == 404 || status == 409 || status == 410 || status == 412 ||
                         status == 413 || status == 415;
    if (!decided)
        result.error = DavClient::errorOf(response);
    return result;
}

} // namespace

void DavClient::put(const QUrl &url, const QByteArray &body, const QString &etag,
                    Done<WriteOutcome> done) {
    HttpRequest request{"PUT", url, {{"Content-Type", "text/calendar; charset=utf-8"}}, body};
    if (etag.isEmpty())
        request.headers.emplaceBack("If-None-Match", "*");
    else
        request.headers.emplaceBack("If-Match", etag.toUtf8());
    send(request, [done](const HttpResponse &response) { done(writeResult(response)); });
}

void DavClient::remove(const QUrl &url, const QString &etag, Done<WriteOutcome> done) {
    HttpRequest request{"DELETE", url, {}, {}};
    if (!etag.isEmpty())
        request.headers.emplaceBack("If-Match", etag.toUtf8());
    send(request, [done](const HttpResponse &response) { done(writeResult(response)); });
}

void DavClient::makeCalendar(const QUrl &url, const QString &displayName, Done<WriteOutcome> done) {
    send({"MKCALENDAR",
          url,
          {{"Content-Type", "application/xml; charset=utf-8"}},
          dav::mkcalendarBody(displayName)},
         [done](const HttpResponse &response) { done(writeResult(response)); });
}

} // namespace qb::sync
