#include "updates/checkforupdatesviewmodel.h"

#include "updates/updater.h"

namespace qb {

namespace {

const QString appName = QStringLiteral("Quill Brook");

template <class... Visitors> struct Overloaded : Visitors... { using Visitors::operator()...; };

} // namespace

CheckForUpdatesViewModel::CheckForUpdatesViewModel(Updater *updater, QObject *parent)
    : QObject(parent)
    , m_updater(updater) {
    if (!m_updater)
        return;
    connect(m_updater, &Updater::canCheckForUpdatesChanged, this,
            &CheckForUpdatesViewModel::setCanCheckForUpdates);
    connect(m_updater, &Updater::checkFinished, this, &CheckForUpdatesViewModel::checkFinished);
    // Without an updater the item stays disabled.
    connect(m_updater, &QObject::destroyed, this, [this] { setCanCheckForUpdates(false); });
    setCanCheckForUpdates(m_updater->canCheckForUpdates());
}

bool CheckForUpdatesViewModel::checkForUpdates() {
    return m_updater && m_updater->checkForUpdates();
}

void CheckForUpdatesViewModel::setCanCheckForUpdates(bool canCheck) {
    if (canCheck == m_canCheckForUpdates)
        return;
    m_canCheckForUpdates = canCheck;
    emit canCheckForUpdatesChanged();
}

void CheckForUpdatesViewModel::checkFinished(bool userInitiated) {
    // A background check's outcome is not for the dialog: nobody asked, and it must not
    // change a dialog that may still be showing the user's own result.
    if (!userInitiated || !m_updater || !m_updater->lastOutcome())
        return;
    describe(*m_updater->lastOutcome(), m_updater->currentVersion());
    emit outcomeChanged();
    emit userCheckFinished();
}

void CheckForUpdatesViewModel::describe(const UpdateOutcome &outcome,
                                        const QString &currentVersion) {
    m_releaseNotesUrl = QUrl();
    m_downloadUrl = QUrl();
    std::visit(Overloaded{
                   [&](const UpToDate &upToDate) {
                       m_outcomeKind = QStringLiteral("upToDate");
                       m_outcomeTitle = QStringLiteral("You’re up to date");
                       m_outcomeMessage = QStringLiteral("%1 %2 is the newest version.")
                                              .arg(appName, upToDate.currentVersion);
                   },
                   [&](const UpdateAvailable &available) {
                       const QString shown = available.shortVersion.isEmpty()
                                                 ? available.version
                                                 : available.shortVersion;
                       m_outcomeKind = QStringLiteral("updateAvailable");
                       m_outcomeTitle = QStringLiteral("A new version is available");
                       m_outcomeMessage = QStringLiteral("%1 %2 is available — you have %3.")
                                              .arg(appName, shown, currentVersion);
                       m_releaseNotesUrl = available.releaseNotesUrl;
                       m_downloadUrl = available.downloadUrl;
                   },
                   [&](const UpdateCheckFailed &failed) {
                       m_outcomeKind = QStringLiteral("failed");
                       m_outcomeTitle = QStringLiteral("Couldn’t check for updates");
                       m_outcomeMessage = failed.message.isEmpty()
                                              ? QStringLiteral("The update check did not finish.")
                                              : failed.message;
                   },
               },
               outcome);
}

} // namespace qb
