#pragma once

#include <QUrl>

namespace qb {

// Which update-feed URLs are fetched: https with a host; file URLs (local feeds, used by
// tests); and plain http only to this machine (127.0.0.1, ::1, localhost), so tests can run a
// local server without certificates. Everything else is refused.
bool isAllowedFeedUrl(const QUrl &url);

// A redirect may only lead to an https URL with a host, even from a local feed.
bool isAllowedFeedRedirect(const QUrl &url);

bool isLoopbackHost(const QString &host);

} // namespace qb
