#include "platform/networkfeedfetcher.h"

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

// One request: owns its reply and deadline, and calls the completion at most once. Deleting
// it (with the fetcher) aborts the reply without calling anything.
class PendingFetch : public QObject {
public:
    PendingFetch(QNetworkReply *reply, const NetworkFeedFetcher::Limits &limits,
                 FeedFetcher::Completion done, QObject *parent)
        : QObject(parent)
        , m_reply(reply)
        , m_maxBytes(limits.maxBytes)
        , m_done(std::move(done)) {
        m_reply->setParent(this);
        connect(m_reply, &QNetworkReply::redirected, this, &PendingFetch::onRedirected);
        connect(m_reply, &QNetworkReply::metaDataChanged, this, &PendingFetch::checkAnnouncedSize);
        connect(m_reply, &QNetworkReply::readyRead, this, &PendingFetch::onReadyRead);
        connect(m_reply, &QNetworkReply::finished, this, &PendingFetch::onFinished);
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this,
                [this] { fail(QStringLiteral("The update server did not answer in time.")); });
        m_deadline.start(limits.timeout);
    }

    ~PendingFetch() override {
        m_reply->disconnect(this);
        m_reply->abort();
    }

private:
    void onRedirected(const QUrl &target) {
        if (isAllowedFeedRedirect(target))
            emit m_reply->redirectAllowed();
        else
            fail(QStringLiteral("The update feed redirected to an insecure address."));
    }

    void checkAnnouncedSize() {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_maxBytes)
            failTooLarge();
    }

    void onReadyRead() {
        m_body += m_reply->readAll();
        if (m_body.size() > m_maxBytes)
            failTooLarge();
    }

    void onFinished() {
        if (!m_done)
            return;
        onReadyRead();
        if (!m_done)
            return;
        const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (m_reply->error() != QNetworkReply::NoError || status >= 400)
            fail(messageFor(m_reply->error(), status));
        else
            complete({m_body, {}});
    }

    void failTooLarge() { fail(QStringLiteral("The update feed is too large.")); }

    void fail(const QString &message) { complete({{}, message}); }

    void complete(const FetchResult &result) {
        FeedFetcher::Completion done = std::move(m_done);
        m_done = nullptr;
        if (!done)
            return;
        m_deadline.stop();
        m_reply->disconnect(this);
        m_reply->abort();
        deleteLater();
        done(result);
    }

    QNetworkReply *m_reply;
    qint64 m_maxBytes;
    FeedFetcher::Completion m_done;
    QByteArray m_body;
    QTimer m_deadline;
};

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
    new PendingFetch(m_network.get(request), m_limits, std::move(done), m_requests.get());
}

} // namespace qb
