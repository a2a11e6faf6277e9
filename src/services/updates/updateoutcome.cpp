#include "updates/updateoutcome.h"

#include "updates/version.h"

#include <algorithm>

namespace qb {

UpdateOutcome outcomeForFeed(const QByteArray &feed, const QString &currentVersion) {
    const AppcastParse parsed = parseAppcast(feed);
    if (!parsed.ok())
        return UpdateCheckFailed{parsed.error};
    if (parsed.items.isEmpty())
        return UpdateCheckFailed{QStringLiteral("The update feed lists no releases.")};

    const AppcastItem &newest = *std::max_element(
        parsed.items.cbegin(), parsed.items.cend(), [](const AppcastItem &a, const AppcastItem &b) {
            return compareVersions(a.version, b.version) < 0;
        });
    if (compareVersions(newest.version, currentVersion) <= 0)
        return UpToDate{currentVersion};
    return UpdateAvailable{newest.version, newest.shortVersion, newest.releaseNotesUrl,
                           newest.downloadUrl};
}

} // namespace qb
