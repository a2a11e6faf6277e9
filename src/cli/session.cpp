#include "session.h"

#include "settledpreferences.h"

#include "store/bulktransfer.h"
#include "store/modelcontext.h"
#include "store/persistence.h"
#include "sync/caldavmirror.h"

#include <QSettings>

#include <optional>

namespace qb::cli {

Session::Session(Key, std::unique_ptr<ModelContainer> container, const QString &folder,
                 const TaskEnvironment &environment)
    : m_container(std::move(container))
    , m_widget(folder, m_host, environment.clock, environment.calendar)
    , m_environment(environment) {
    m_environment.widget = &m_widget;
}

Outcome<std::unique_ptr<Session>> Session::open(const QStringList &processArguments) {
    TaskEnvironment environment;
    // Most runs find preferences that ask nothing of them, and skip QSettings.
    std::optional<QSettings> preferences;
    if (!preferencesAreSettled(PreferencesFiles::forThisProgram()))
        preferences.emplace();
    // Attaching binds the store's sync bookkeeping, so edits made here are queued for the
    // server; only "sync now" talks to it.
    sync::CalDavMirror mirror(preferences ? sync::SyncAccount::load(*preferences)
                                          : sync::SyncAccount());
    const QString folder = persistence::storeFolder();
    auto container = persistence::openContainer(processArguments, folder, mirror,
                                                environment.calendar.localeId());
    if (!container)
        return CliError::store(QLatin1String(persistence::fatalMessagePrefix) +
                               container.message());
    // A run's commits are on the disk once saved; copying them into the store file is left to
    // every eighth run or so (a save writes about 33 KiB of log), and to the app.
    constexpr qint64 keptLogBytes = 256 * 1024;
    container.value()->mainContext().keepShortLogOnClose(keptLogBytes);
    if (preferences) {
        persistence::backfillScheduledDates(*container.value(), *preferences, environment.clock,
                                            environment.calendar);
    }
    return std::make_unique<Session>(Key(), std::move(container.value()), folder, environment);
}

std::optional<CliError> Session::commit() {
    if (!context().hasChanges())
        return std::nullopt;
    return save();
}

std::optional<CliError> Session::save() {
    if (const Status status = context().save(); !status)
        return CliError::store(QStringLiteral("cannot save to the store: ") + status.message());
    m_widget.refresh(context());
    return std::nullopt;
}

void Session::refreshWidget() {
    m_widget.refresh(context());
}

std::optional<CliError> Session::commit(BulkInsert &insert) {
    if (const Status status = insert.commit(); !status)
        return CliError::store(QStringLiteral("cannot save to the store: ") + status.message());
    m_widget.refresh(context());
    return std::nullopt;
}

} // namespace qb::cli
