#pragma once

#include <QObject>
#include <QPointer>

namespace qb {

class Updater;

// Backs the "Check for Updates…" menu item: enabled exactly while the updater allows a
// user-initiated check.
class CheckForUpdatesViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)

public:
    // Takes the updater's current value at once; not owned, and may go away first.
    explicit CheckForUpdatesViewModel(Updater *updater, QObject *parent = nullptr);

    bool canCheckForUpdates() const { return m_canCheckForUpdates; }

    Q_INVOKABLE void checkForUpdates();

signals:
    void canCheckForUpdatesChanged();

private:
    void setCanCheckForUpdates(bool canCheck);

    QPointer<Updater> m_updater;
    bool m_canCheckForUpdates = false;
};

} // namespace qb
