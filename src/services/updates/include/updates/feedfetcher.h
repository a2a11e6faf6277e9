#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

namespace qb {

struct FetchResult {
    QByteArray body;
    QString error; // a short human message; empty on success

    bool ok() const { return error.isEmpty(); }
};

// Fetches an update feed. The platform layer implements it over the network; tests use fakes.
class FeedFetcher {
public:
    using Completion = std::function<void(const FetchResult &)>;

    virtual ~FeedFetcher() = default;

    // Calls `done` exactly once, later on the event loop, unless the fetcher is destroyed
    // first: a fetcher drops its pending completions uncalled when it goes away.
    virtual void fetch(const QUrl &url, Completion done) = 0;
};

} // namespace qb
