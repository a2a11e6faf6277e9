#pragma once

#include <QObject>
#include <QPointer>

#include <qqmlregistration.h>

Q_MOC_INCLUDE("app/environment.h")
Q_MOC_INCLUDE("navigation/approuter.h")
Q_MOC_INCLUDE("preferences/preferences.h")
Q_MOC_INCLUDE("store/modelcontext.h")
Q_MOC_INCLUDE("sync/syncservice.h")
Q_MOC_INCLUDE("tasks/undocenter.h")
Q_MOC_INCLUDE("updates/checkforupdatesviewmodel.h")
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
class Environment;
class ModelContext;
class Preferences;
class UndoCenter;
class Updater;

// The services every window shares, built once by AppRuntime: QML reaches this as a singleton
// and hands each model the services it names (its `context`, `environment`, `undoCenter`, …).
// Beyond them it holds only what is application-wide: the colour scheme, the update command,
// the pending undo and becoming active.
class QuillbrookApp : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(qb::ModelContext *context READ context CONSTANT)
    Q_PROPERTY(qb::Environment *environment READ environment CONSTANT)
    Q_PROPERTY(qb::UndoCenter *undoCenter READ undoCenter CONSTANT)
    Q_PROPERTY(qb::AppRouter *router READ router CONSTANT)
    Q_PROPERTY(qb::Preferences *preferences READ preferences CONSTANT)
    Q_PROPERTY(qb::CompletionQueue *completions READ completions CONSTANT)
    // Null when the app runs without sync.
    Q_PROPERTY(qb::sync::SyncService *sync READ sync CONSTANT)
    // The "Check for Updates…" command, over the updater (disabled without one).
    Q_PROPERTY(qb::CheckForUpdatesViewModel *updates READ updates CONSTANT)
    Q_PROPERTY(bool dark READ isDark NOTIFY darkChanged)
    // What happened to the store file while the app ran (deleted or replaced, and where the
    // store is now), until the user dismisses it; empty otherwise.
    Q_PROPERTY(QString storeNotice READ storeNotice NOTIFY storeNoticeChanged)

public:
    struct Parts {
        ModelContext *context = nullptr;
        Environment *environment = nullptr;
        UndoCenter *undoCenter = nullptr;
        AppRouter *router = nullptr;
        Preferences *preferences = nullptr;
        EffectiveColorScheme *colorScheme = nullptr; // may be null: always light
        Updater *updater = nullptr;                  // may be null: no update checks
        sync::SyncService *sync = nullptr;           // may be null: no sync
    };

    explicit QuillbrookApp(Parts parts, QObject *parent = nullptr);

    // QML singleton: the instance AppRuntime registered.
    static QuillbrookApp *create(QQmlEngine *qmlEngine, QJSEngine *jsEngine);
    static void setInstance(QuillbrookApp *app);

    ModelContext *context() const { return m_parts.context; }
    Environment *environment() const { return m_parts.environment; }
    UndoCenter *undoCenter() const { return m_parts.undoCenter; }
    AppRouter *router() const { return m_parts.router; }
    Preferences *preferences() const { return m_parts.preferences; }
    CompletionQueue *completions() const { return m_completions; }
    CheckForUpdatesViewModel *updates() const { return m_updates; }
    sync::SyncService *sync() const { return m_parts.sync; }
    bool isDark() const;
    QString storeNotice() const { return m_storeNotice; }

    // Runs the pending undo offer, if any, then dismisses it.
    Q_INVOKABLE void undo();
    // Refreshes the desktop widget over the main context.
    Q_INVOKABLE void refreshWidget();
    Q_INVOKABLE void dismissStoreNotice();
    // The application became active: refresh the widget, look for other processes' commits,
    // pull from the sync server, and read the day again.
    Q_INVOKABLE void becameActive();

signals:
    void darkChanged();
    void storeNoticeChanged();

private:
    Parts m_parts;
    CompletionQueue *m_completions;
    CheckForUpdatesViewModel *m_updates;
    QString m_storeNotice;
    static QPointer<QuillbrookApp> s_instance;
};

} // namespace qb
