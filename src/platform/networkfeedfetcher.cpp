#include "platform/networkfeedfetcher.h"

#include "net/boundedreply.h"
#include "updates/feedurlpolicy.h"

#include <QNetworkReply>
#include <QTimer>

namespace qb {

namespace {

QString messageFor(QNetworkReply::NetworkError error, int httpStatus) {
    if (httpStatus >= 400)
        return QStringLiteral("The update server answered with error %1.").arg(httpStatus);
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("The update server could not be found.");
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("The update server refused the connection.");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("A secure connection to the update server could not be made.");
    case QNetworkReply::ContentNotFoundError:
        return QStringLiteral("The update feed was not found.");
    case QNetworkReply::ContentAccessDenied:
        return QStringLiteral("The update feed could not be opened.");
    default:
        return QStringLiteral("The update feed could not be downloaded.");
    }
}

FetchResult resultOf(net::BoundedReply::Outcome outcome, const QNetworkReply &reply,
                     QByteArray body) {
    using Outcome = net::BoundedReply::Outcome;
    switch (outcome) {
    case Outcome::TooLarge:
        return {{}, QStringLiteral("The update feed is too large.")};
    case Outcome::OutOfTime:
        return {{}, QStringLiteral("The update server did not answer in time.")};
    case Outcome::Refused:
        return {{}, QStringLiteral("The update feed redirected to an insecure address.")};
    case Outcome::Finished:
        break;
    }
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply.error() != QNetworkReply::NoError || status >= 400)
        return {{}, messageFor(reply.error(), status)};
    return {std::move(body), {}};
}

} // namespace

NetworkFeedFetcher::NetworkFeedFetcher()
    : NetworkFeedFetcher(Limits{}) {}

NetworkFeedFetcher::NetworkFeedFetcher(Limits limits)
    : m_limits(limits)
    , m_requests(std::make_unique<QObject>()) {
    m_network.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
}

NetworkFeedFetcher::~NetworkFeedFetcher() = default;

void NetworkFeedFetcher::fetch(const QUrl &url, Completion done) {
    if (!isAllowedFeedUrl(url)) {
        // Still asynchronous, as the interface promises.
        QTimer::singleShot(0, m_requests.get(), [done = std::move(done)] {
            done({{}, QStringLiteral("Update feeds must use a secure (https) address.")});
        });
        return;
    }
    QNetworkRequest request(url);
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QNetworkReply *reply = m_network.get(request);
    auto *pending = new net::BoundedReply(
        reply, {m_limits.timeout, m_limits.maxBytes, false},
        [done = std::move(done)](net::BoundedReply::Outcome outcome, QNetworkReply &ended,
                                 QByteArray body) {
            done(resultOf(outcome, ended, std::move(body)));
        },
        m_requests.get());
    QObject::connect(reply, &QNetworkReply::redirected, pending, [reply, pending](const QUrl &to) {
        if (isAllowedFeedRedirect(to))
            emit reply->redirectAllowed();
        else
            pending->refuse();
    });
}

} // namespace qb
