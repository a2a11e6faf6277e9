#pragma once

#include "sync/davxml.h"
#include "sync/httptransport.h"

#include <QObject>
#include <QPointer>

#include <optional>

namespace qb::sync {

// Why a request did not give what was asked, with a sentence for the user.
struct DavError {
    enum class Kind {
        Unreachable,  // no answer: network, TLS, a stalled or oversized answer
        Credentials,  // 401
        Forbidden,    // 403
        Missing,      // 404 or 410
        InvalidToken, // the server no longer knows the sync token
        Unsupported,  // the server does not do what was asked
        Server,       // 5xx
        Unreadable,   // an answer that cannot be read
        Refused,      // the server keeps refusing a change
        Local,        // the store could not be read or written
    };
    Kind kind = Kind::Unreachable;
    QString message;
    int status = 0;
};

template <typename T> struct DavResult {
    std::optional<DavError> error;
    T value{};
    bool ok() const { return !error; }
};

struct ResourceTag {
    QString path;
    QString etag;
};

// What changed in a collection since a sync token.
struct SyncReport {
    QList<ResourceTag> changed;
    QStringList removed;
    QString token;
    bool truncated = false; // the server sent part of the changes: ask again with `token`
};

struct FetchedObject {
    QString path;
    QString etag;
    QByteArray data;
};

// The outcome of a write the server answered: 2xx, or a refusal the caller handles (404, 409,
// 412, 413…).
struct WriteOutcome {
    int status = 0;
    QString etag;
    QStringList conditions; // preconditions named in the answer, such as no-uid-conflict
};

// WebDAV and CalDAV requests with the account's credentials. Completions are not called once
// the client is destroyed.
class DavClient : public QObject {
    Q_OBJECT

public:
    DavClient(HttpTransport &transport, const QString &user, const QString &password,
              QObject *parent = nullptr);

    template <typename T> using Done = std::function<void(const DavResult<T> &)>;

    void propfind(const QUrl &url, int depth, const QStringList &keys, Done<dav::Multistatus> done);
    void syncCollection(const QUrl &collection, const QString &token, Done<SyncReport> done);
    void listTodos(const QUrl &collection, Done<QList<ResourceTag>> done);
    void multiget(const QUrl &collection, const QStringList &paths,
                  Done<QList<FetchedObject>> done);
    void get(const QUrl &url, Done<FetchedObject> done);
    // An empty `etag` creates only (If-None-Match: *); otherwise the write needs that version.
    void put(const QUrl &url, const QByteArray &body, const QString &etag, Done<WriteOutcome> done);
    void remove(const QUrl &url, const QString &etag, Done<WriteOutcome> done);
    void makeCalendar(const QUrl &url, const QString &displayName, Done<WriteOutcome> done);
    // Redirects are answers too: discovery follows them itself.
    void send(HttpRequest request, HttpTransport::Completion done);

    // The error an answer stands for, if any.
    static std::optional<DavError> errorOf(const HttpResponse &response);

private:
    void multistatus(const QByteArray &method, const QUrl &url, int depth, const QByteArray &body,
                     Done<dav::Multistatus> done);
    void readMultistatus(const QByteArray &body, const QUrl &url, Done<dav::Multistatus> done);

    HttpTransport &m_transport;
    QByteArray m_authorization;
};

} // namespace qb::sync
