#include "sync/networktransport.h"

#include "net/boundedreply.h"

#include <QNetworkReply>
#include <QSslError>

#include <memory>

namespace qb::sync {

namespace {

HttpResponse responseOf(net::BoundedReply::Outcome outcome, const QNetworkReply &reply,
                        QByteArray body, const QStringList &tlsErrors) {
    using Outcome = net::BoundedReply::Outcome;
    HttpResponse response;
    switch (outcome) {
    case Outcome::TooLarge:
        response.error = QStringLiteral("The server's answer is too large.");
        return response;
    case Outcome::OutOfTime:
        response.error = QStringLiteral("The server stopped answering.");
        return response;
    case Outcome::Finished:
    case Outcome::Refused:
        break;
    }
    response.status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (response.status == 0) {
        response.error =
            tlsErrors.isEmpty()
                ? QStringLiteral("The server cannot be reached: %1").arg(reply.errorString())
                : QStringLiteral("The server's certificate is not trusted: %1")
                      .arg(tlsErrors.join(QLatin1String("; ")));
        return response;
    }
    for (const auto &[name, value] : reply.rawHeaderPairs())
        response.headers.insert(name.toLower(), value);
    response.body = std::move(body);
    return response;
}

} // namespace

NetworkTransport::NetworkTransport()
    : NetworkTransport(Limits{}) {}

NetworkTransport::NetworkTransport(Limits limits)
    : m_limits(limits)
    , m_requests(std::make_unique<QObject>()) {
    m_network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

NetworkTransport::~NetworkTransport() = default;

void NetworkTransport::send(const HttpRequest &request, Completion done) {
    QNetworkRequest networkRequest(request.url);
    for (const auto &[name, value] : request.headers)
        networkRequest.setRawHeader(name, value);
    QNetworkReply *reply =
        m_network.sendCustomRequest(networkRequest, request.method, request.body);
    auto tlsErrors = std::make_shared<QStringList>();
    auto *pending = new net::BoundedReply(
        reply, {m_limits.stall, m_limits.maxBytes, true},
        [done = std::move(done), tlsErrors](net::BoundedReply::Outcome outcome,
                                            QNetworkReply &ended, QByteArray body) {
            done(responseOf(outcome, ended, std::move(body), *tlsErrors));
        },
        m_requests.get());
    QObject::connect(reply, &QNetworkReply::sslErrors, pending,
                     [tlsErrors](const QList<QSslError> &errors) {
                         for (const QSslError &error : errors)
                             tlsErrors->append(error.errorString());
                     });
}

} // namespace qb::sync
