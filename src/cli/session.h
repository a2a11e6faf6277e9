#pragma once

#include "outcome.h"
#include "store/modelcontainer.h"
#include "tasks/taskenvironment.h"
#include "tasks/taskstore.h"
#include "widget/widgethost.h"
#include "widget/widgetsnapshotwriter.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace qb {
class BulkInsert;
}

namespace qb::cli {

// The store opened the way the app opens it (same folder, the sync account's mirror unless
// "-cloudKitDisabled", the backfill migration), with the widget snapshot refreshed after every
// successful save.
class Session {
public:
    // A store that cannot be opened gives the app's fatal message as a Store error.
    static Outcome<std::unique_ptr<Session>> open(const QStringList &processArguments);

    ModelContext &context() { return m_container->mainContext(); }
    ModelContainer &container() { return *m_container; }
    const TaskEnvironment &environment() const { return m_environment; }
    const Calendar &calendar() const { return m_environment.calendar; }
    QDateTime now() const { return m_environment.clock.now(); }
    TaskStore store() { return TaskStore(context(), m_environment); }

    // Task operations swallow a failed save; a client must not report success for a change
    // that is not on disk. Retries the save once and reports what is still unsaved.
    std::optional<CliError> commit();
    // Saves records written outside TaskStore and refreshes the widget.
    std::optional<CliError> save();
    // After changes merged from elsewhere (a sync).
    void refreshWidget();
    // Commits a bulk insert (import) and refreshes the widget.
    std::optional<CliError> commit(BulkInsert &insert);

    // Only open() makes the key.
    class Key {
        friend class Session;
        Key() = default;
    };
    Session(Key, std::unique_ptr<ModelContainer> container, const QString &folder,
            const TaskEnvironment &environment);

private:
    NoWidgetHost m_host;
    std::unique_ptr<ModelContainer> m_container;
    WidgetSnapshotWriter m_widget;
    TaskEnvironment m_environment;
};

} // namespace qb::cli
