#include "sync/networktransport.h"

#include <QNetworkReply>
#include <QSslError>
#include <QTimer>

namespace qb::sync {

namespace {

// One request: owns its reply and its stall timer and completes at most once. Deleting it
// (with the transport) aborts the reply without completing.
class PendingRequest : public QObject {
public:
    PendingRequest(QNetworkReply *reply, const NetworkTransport::Limits &limits,
                   HttpTransport::Completion done, QObject *parent)
        : QObject(parent)
        , m_reply(reply)
        , m_limits(limits)
        , m_done(std::move(done)) {
        m_reply->setParent(this);
        connect(m_reply, &QNetworkReply::metaDataChanged, this, &PendingRequest::checkSize);
        connect(m_reply, &QNetworkReply::readyRead, this, &PendingRequest::onReadyRead);
        connect(m_reply, &QNetworkReply::finished, this, &PendingRequest::onFinished);
        connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError> &errors) {
            for (const QSslError &error : errors)
                m_tlsErrors.append(error.errorString());
        });
        connect(m_reply, &QNetworkReply::uploadProgress, this, &PendingRequest::stillMoving);
        connect(m_reply, &QNetworkReply::downloadProgress, this, &PendingRequest::stillMoving);
        m_stall.setSingleShot(true);
        connect(&m_stall, &QTimer::timeout, this,
                [this] { fail(QStringLiteral("The server stopped answering.")); });
        m_stall.start(m_limits.stall);
    }

    ~PendingRequest() override {
        m_reply->disconnect(this);
        m_reply->abort();
    }

private:
    void stillMoving() { m_stall.start(m_limits.stall); }

    void checkSize() {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_limits.maxBytes)
            fail(QStringLiteral("The server's answer is too large."));
    }

    void onReadyRead() {
        m_body += m_reply->readAll();
        if (m_body.size() > m_limits.maxBytes)
            fail(QStringLiteral("The server's answer is too large."));
    }

    void onFinished() {
        onReadyRead();
        if (!m_done)
            return;
        HttpResponse response;
        response.status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (response.status == 0) {
            fail(
                m_tlsErrors.isEmpty()
                    ? QStringLiteral("The server cannot be reached: %1").arg(m_reply->errorString())
                    : QStringLiteral("The server's certificate is not trusted: %1")
                          .arg(m_tlsErrors.join(QLatin1String("; "))));
            return;
        }
        for (const auto &[name, value] : m_reply->rawHeaderPairs())
            response.headers.insert(name.toLower(), value);
        response.body = std::move(m_body);
        complete(response);
    }

    void fail(const QString &message) {
        HttpResponse response;
        response.error = message;
        complete(response);
    }

    void complete(const HttpResponse &response) {
        HttpTransport::Completion done = std::move(m_done);
        m_done = nullptr;
        if (!done)
            return;
        m_stall.stop();
        m_reply->disconnect(this);
        m_reply->abort();
        deleteLater();
        done(response);
    }

    QNetworkReply *m_reply;
    NetworkTransport::Limits m_limits;
    HttpTransport::Completion m_done;
    QByteArray m_body;
    QStringList m_tlsErrors;
    QTimer m_stall;
};

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
    new PendingRequest(reply, m_limits, std::move(done), m_requests.get());
}

} // namespace qb::sync
