#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>
#include <utility>

namespace qb::sync {

struct HttpRequest {
    QByteArray method;
    QUrl url;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
};

struct HttpResponse {
    int status = 0; // 0 when no answer came
    QByteArray body;
    QHash<QByteArray, QByteArray> headers; // names in lower case
    QString error;                         // why no answer came, in words

    QByteArray header(const QByteArray &name) const { return headers.value(name.toLower()); }
};

// Sends HTTP requests. Tests put a scripted server behind it.
class HttpTransport {
public:
    using Completion = std::function<void(const HttpResponse &)>;
    virtual ~HttpTransport() = default;
    // Calls `done` exactly once, never from inside send and never after the transport is
    // destroyed.
    virtual void send(const HttpRequest &request, Completion done) = 0;
};

} // namespace qb::sync
