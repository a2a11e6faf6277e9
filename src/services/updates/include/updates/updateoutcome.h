#pragma once

#include "updates/appcast.h"

#include <QString>
#include <QUrl>

#include <variant>

namespace qb {

struct UpToDate {
    QString currentVersion;
};

struct UpdateAvailable {
    QString version;
    QString shortVersion;
    QUrl releaseNotesUrl;
    QUrl downloadUrl;
};

struct UpdateCheckFailed {
    QString message;
};

using UpdateOutcome = std::variant<UpToDate, UpdateAvailable, UpdateCheckFailed>;

// What a downloaded feed means for the running version: the newest listed release if it is
// newer, else up to date. A feed that cannot be read or lists no release is a failure.
UpdateOutcome outcomeForFeed(const QByteArray &feed, const QString &currentVersion);

} // namespace qb
