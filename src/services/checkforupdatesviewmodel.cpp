#include "checkforupdatesviewmodel.h"

#include "updater.h"

namespace qb {

CheckForUpdatesViewModel::CheckForUpdatesViewModel(Updater *updater, QObject *parent)
    : QObject(parent)
    , m_updater(updater) {
    if (!m_updater)
        return;
    connect(m_updater, &Updater::canCheckForUpdatesChanged, this,
            &CheckForUpdatesViewModel::setCanCheckForUpdates);
    // Without an updater the item stays disabled.
    connect(m_updater, &QObject::destroyed, this, [this] { setCanCheckForUpdates(false); });
    setCanCheckForUpdates(m_updater->canCheckForUpdates());
}

void CheckForUpdatesViewModel::checkForUpdates() {
    if (m_updater)
        m_updater->checkForUpdates();
}

void CheckForUpdatesViewModel::setCanCheckForUpdates(bool canCheck) {
    if (canCheck == m_canCheckForUpdates)
        return;
    m_canCheckForUpdates = canCheck;
    emit canCheckForUpdatesChanged();
}

} // namespace qb
