#pragma once

#include "sync/davclient.h"

#include <QObject>

namespace qb::sync {

// Whether the app may send a password to `url`: https anywhere, plain http only to this
// machine (127.0.0.1, ::1, localhost).
bool isAllowedServerUrl(const QUrl &url);

struct FoundCollection {
    QUrl url;
    // What the list is called: the server's name for it, or the name asked for when it has none.
    QString displayName;
    bool created = false;
};

// Finds the collection to sync with from what the user typed: the collection itself, or the
// server, through /.well-known/caldav, the current user's principal and its calendar home,
// where the list named `listName` that holds to-dos is picked or, when there is none, made.
class CollectionFinder : public QObject {
    Q_OBJECT

public:
    CollectionFinder(HttpTransport &transport, const QString &user, const QString &password,
                     QObject *parent = nullptr);

    using Done = std::function<void(const DavResult<FoundCollection> &)>;
    void find(const QUrl &typed, const QString &listName, Done done);

private:
    // A PROPFIND that follows up to five redirects that stay allowed.
    void propfind(const QUrl &url, int depth, const QStringList &keys, int redirects,
                  std::function<void(const DavResult<dav::Multistatus> &, const QUrl &)> done);
    void fromPrincipal(const QUrl &principal, const QString &listName, Done done);
    void inHome(const QUrl &home, const QString &listName, Done done);

    DavClient m_client;
};

} // namespace qb::sync
