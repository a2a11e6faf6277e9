#include "updates/feedurlpolicy.h"

namespace qb {

bool isLoopbackHost(const QString &host) {
    return host == u"127.0.0.1" || host == u"::1" ||
           host.compare(u"localhost", Qt::CaseInsensitive) == 0;
}

bool isAllowedFeedRedirect(const QUrl &url) {
    return url.isValid() && url.scheme() == u"https" && !url.host().isEmpty();
}

bool isAllowedFeedUrl(const QUrl &url) {
    if (!url.isValid())
        return false;
    if (url.isLocalFile())
        return true;
    if (url.scheme() == u"http")
        return isLoopbackHost(url.host());
    return isAllowedFeedRedirect(url);
}

} // namespace qb
