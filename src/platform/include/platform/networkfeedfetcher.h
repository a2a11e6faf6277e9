#pragma once

#include "updates/feedfetcher.h"

#include <QNetworkAccessManager>
#include <QObject>

#include <chrono>
#include <memory>

namespace qb {

// Fetches update feeds with QNetworkAccessManager. Only URLs that isAllowedFeedUrl() accepts
// are fetched (https; file; plain http to 127.0.0.1, ::1 or localhost, for local test
// servers), redirects must lead to https, bodies over the size cap and requests over the time
// limit are cut off. Every failure ends in a short human message.
class NetworkFeedFetcher final : public FeedFetcher {
public:
    struct Limits {
        std::chrono::milliseconds timeout = std::chrono::seconds(30); // whole request
        qint64 maxBytes = 1024 * 1024;
        int maxRedirects = 5;
    };

    NetworkFeedFetcher();
    explicit NetworkFeedFetcher(Limits limits);
    ~NetworkFeedFetcher() override;

    void fetch(const QUrl &url, Completion done) override;

private:
    Limits m_limits;
    QNetworkAccessManager m_network;
    // Parent of every pending request; declared after m_network so requests go first.
    std::unique_ptr<QObject> m_requests;
};

} // namespace qb
