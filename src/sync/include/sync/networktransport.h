#pragma once

#include "sync/httptransport.h"

#include <QNetworkAccessManager>
#include <QObject>

#include <chrono>
#include <memory>

namespace qb::sync {

// HTTP over QNetworkAccessManager. Redirects are handed to the caller, certificates are never
// ignored (a TLS error fails the request with the reason), answers over the size cap and
// requests that stall are cut off.
class NetworkTransport final : public HttpTransport {
public:
    struct Limits {
        std::chrono::milliseconds stall = std::chrono::seconds(60);
        qint64 maxBytes = 64 * 1024 * 1024;
    };

    NetworkTransport();
    explicit NetworkTransport(Limits limits);
    ~NetworkTransport() override;

    void send(const HttpRequest &request, Completion done) override;

private:
    Limits m_limits;
    QNetworkAccessManager m_network;
    // Parent of every pending request; declared after m_network so requests go first.
    std::unique_ptr<QObject> m_requests;
};

} // namespace qb::sync
