#pragma once

#include "sync/httptransport.h"

#include <QHash>
#include <QMap>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace qb::sync::test {

// One CalDAV collection in memory behind the transport interface, answering later from the
// event loop like a real server: the collection's properties, sync-collection with tokens,
// listing, multiget, GET, and conditional PUT and DELETE. `intercept` answers a request in the
// server's place, which is how tests script faults.
class FakeCalDav final : public QObject, public HttpTransport {
public:
    static constexpr auto collectionPath = "/dav/alice/tasks/";

    struct Object {
        QByteArray data;
        QString etag;
    };

    QUrl collectionUrl() const;
    void send(const HttpRequest &request, Completion done) override;

    // Direct access, as another client would change things.
    void store(const QString &name, const QByteArray &data);
    // The server loses every sync token it handed out. It then refuses them as RFC 6578 has
    // it, or, as some servers do, answers them with a listing of every member, as if they
    // were the first sync.
    enum class Forgotten { Refused, Listed };
    void forgetTokens(Forgotten answer = Forgotten::Refused);

    QMap<QString, Object> objects; // by path
    std::function<std::optional<HttpResponse>(const HttpRequest &)> intercept;
    QList<HttpRequest> requests;
    QString password = QStringLiteral("secret");
    int count(const QByteArray &method) const;

    // A transport of its own for code that owns one, sending to this server.
    std::unique_ptr<HttpTransport> connection();

private:
    HttpResponse answer(const HttpRequest &request);
    HttpResponse report(const HttpRequest &request);
    HttpResponse put(const HttpRequest &request, const QString &path);
    HttpResponse remove(const HttpRequest &request, const QString &path);
    void changed(const QString &path);

    int m_version = 0;
    int m_forgottenBefore = 0;
    Forgotten m_forgotten = Forgotten::Refused;
    int m_etags = 0;
    QHash<QString, int> m_changedAt; // path → version of its last change (deletions included)
};

} // namespace qb::sync::test
