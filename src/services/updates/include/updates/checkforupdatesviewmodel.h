#pragma once

#include "updates/updateoutcome.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

namespace qb {

class Updater;

// Backs the "Check for Updates…" menu item and the dialog that answers it: the item is
// enabled exactly while the updater allows a user-initiated check, and the outcome of each
// check the user asked for is shown in words. Background checks change nothing here.
class CheckForUpdatesViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
    // "upToDate", "updateAvailable" or "failed"; "" until a check the user asked for ends.
    Q_PROPERTY(QString outcomeKind READ outcomeKind NOTIFY outcomeChanged)
    Q_PROPERTY(QString outcomeTitle READ outcomeTitle NOTIFY outcomeChanged)
    Q_PROPERTY(QString outcomeMessage READ outcomeMessage NOTIFY outcomeChanged)
    // Both only for a newer version, and empty when the feed gave none.
    Q_PROPERTY(QUrl releaseNotesUrl READ releaseNotesUrl NOTIFY outcomeChanged)
    Q_PROPERTY(QUrl downloadUrl READ downloadUrl NOTIFY outcomeChanged)

public:
    // Takes the updater's current value at once; not owned, and may go away first.
    explicit CheckForUpdatesViewModel(Updater *updater, QObject *parent = nullptr);

    bool canCheckForUpdates() const { return m_canCheckForUpdates; }
    QString outcomeKind() const { return m_outcomeKind; }
    QString outcomeTitle() const { return m_outcomeTitle; }
    QString outcomeMessage() const { return m_outcomeMessage; }
    QUrl releaseNotesUrl() const { return m_releaseNotesUrl; }
    QUrl downloadUrl() const { return m_downloadUrl; }

    // Starts a user-initiated check; false, and nothing starts, when none may start now.
    Q_INVOKABLE bool checkForUpdates();

signals:
    void canCheckForUpdatesChanged();
    void outcomeChanged();
    // A check the user asked for ended and the outcome properties describe it.
    void userCheckFinished();

private:
    void setCanCheckForUpdates(bool canCheck);
    void checkFinished(bool userInitiated);
    void describe(const UpdateOutcome &outcome, const QString &currentVersion);

    QPointer<Updater> m_updater;
    bool m_canCheckForUpdates = false;
    QString m_outcomeKind;
    QString m_outcomeTitle;
    QString m_outcomeMessage;
    QUrl m_releaseNotesUrl;
    QUrl m_downloadUrl;
};

} // namespace qb
