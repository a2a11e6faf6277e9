#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

namespace qb {

// One release listed in an appcast feed (RSS 2.0 whose items carry version data).
struct AppcastItem {
    QString version;      // the machine version, compared with the running one
    QString shortVersion; // the version shown to people; may be empty
    QUrl releaseNotesUrl; // http(s) only; empty when absent or of another scheme
    QUrl downloadUrl;     // the enclosure, else the item's link; http(s) only
};

struct AppcastParse {
    QList<AppcastItem> items; // in feed order
    QString error;            // a short human message; empty when the feed was read

    bool ok() const { return error.isEmpty(); }
};

// Reads an RSS 2.0 appcast. Per item, the version and short version come from child elements
// named "version" and "shortVersionString" or from the enclosure's attributes of those names
// (whatever namespace prefix the feed uses); "releaseNotesLink" gives the release notes.
// Items without a version are left out. Malformed XML or a root other than <rss> is an error.
AppcastParse parseAppcast(const QByteArray &xml);

} // namespace qb
