#pragma once

#include "tasks/taskenvironment.h"
#include "tasks/taskstore.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <qqmlregistration.h>

Q_MOC_INCLUDE("tasks/undocenter.h")
Q_MOC_INCLUDE("navigation/approuter.h")
Q_MOC_INCLUDE("updates/checkforupdatesviewmodel.h")
Q_MOC_INCLUDE("preferences/preferences.h")
Q_MOC_INCLUDE("viewmodels/completionqueue.h")

class QQmlEngine;
class QJSEngine;

namespace qb::sync {
class SyncService;
}

namespace qb {

class AppRouter;
class CheckForUpdatesViewModel;
class CompletionQueue;
class EffectiveColorScheme;
class ModelContext;
class Preferences;
class UndoCenter;
class Updater;
class WidgetSnapshotWriter;

// The application's long-lived objects, shared by every window: the store's main context, the
// task environment (clock, calendar, widget refresh), the undo center, the router, the
// preferences and the colour scheme. Built once in main(); QML reaches it as a singleton and
// hands it to models as their `app` property.
class QuillbrookApp : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(qb::UndoCenter *undoCenter READ undoCenter CONSTANT)
    Q_PROPERTY(qb::AppRouter *router READ router CONSTANT)
    Q_PROPERTY(qb::Preferences *preferences READ preferences CONSTANT)
    Q_PROPERTY(qb::CompletionQueue *completions READ completions CONSTANT)
    // The "Check for Updates…" command, over the updater (disabled without one).
    Q_PROPERTY(qb::CheckForUpdatesViewModel *updates READ updates CONSTANT)
    Q_PROPERTY(bool dark READ isDark NOTIFY darkChanged)
    // Moves when the application becomes active, so windows re-check their reference day.
    Q_PROPERTY(int activations READ activations NOTIFY activated)
    // What happened to the store file while the app ran (deleted or replaced, and where the
    // store is now), until the user dismisses it; empty otherwise.
    Q_PROPERTY(QString storeNotice READ storeNotice NOTIFY storeNoticeChanged)

public:
    struct Parts {
        ModelContext *context = nullptr;
        TaskEnvironment environment;
        UndoCenter *undoCenter = nullptr;
        AppRouter *router = nullptr;
        Preferences *preferences = nullptr;
        EffectiveColorScheme *colorScheme = nullptr; // may be null: always light
        Updater *updater = nullptr;                  // may be null: no update checks
        sync::SyncService *sync = nullptr;           // may be null: no sync
    };

    explicit QuillbrookApp(Parts parts, QObject *parent = nullptr);

    // QML singleton: the instance main() registered.
    static QuillbrookApp *create(QQmlEngine *qmlEngine, QJSEngine *jsEngine);
    static void setInstance(QuillbrookApp *app);

    ModelContext &context() const { return *m_parts.context; }
    const TaskEnvironment &environment() const { return m_parts.environment; }
    TaskStore taskStore() const { return TaskStore(*m_parts.context, m_parts.environment); }
    UndoCenter *undoCenter() const { return m_parts.undoCenter; }
    AppRouter *router() const { return m_parts.router; }
    Preferences *preferences() const { return m_parts.preferences; }
    CompletionQueue *completions() const { return m_completions; }
    CheckForUpdatesViewModel *updates() const { return m_updates; }
    sync::SyncService *sync() const { return m_parts.sync; }
    bool isDark() const;
    int activations() const { return m_activations; }
    QString storeNotice() const { return m_storeNotice; }

    Q_INVOKABLE QDateTime now() const { return m_parts.environment.clock.now(); }
    Q_INVOKABLE QDateTime startOfToday() const;
    // Not completed, not completing, and dated before today.
    Q_INVOKABLE bool isOverdue(QObject *todo, bool completing) const;
    Q_INVOKABLE QString displayTitle(const QString &title) const;
    // Hour and minute as the user's locale writes them.
    Q_INVOKABLE QString timeOfDay(const QDateTime &moment) const;
    Q_INVOKABLE QString relativeTime(const QDateTime &moment) const;
    // "Today", "Tomorrow", "Yesterday", "Someday" or the numeric month and day.
    Q_INVOKABLE QString shortDayLabel(const QDateTime &date) const;
    // The to-do's repeat rule in words ("Does not repeat" without one).
    Q_INVOKABLE QString repeatDescription(QObject *todo) const;

    // Runs the pending undo offer, if any, then dismisses it.
    Q_INVOKABLE void undo();
    // Refreshes the desktop widget over the main context.
    Q_INVOKABLE void refreshWidget();
    Q_INVOKABLE void dismissStoreNotice();
    // The application became active: refresh the widget, look for other processes' commits,
    // pull from the sync server, and tell windows to re-check their day.
    Q_INVOKABLE void becameActive();

signals:
    void darkChanged();
    void activated();
    void storeNoticeChanged();

private:
    Parts m_parts;
    CompletionQueue *m_completions;
    CheckForUpdatesViewModel *m_updates;
    int m_activations = 0;
    QString m_storeNotice;
    static QPointer<QuillbrookApp> s_instance;
};

} // namespace qb
