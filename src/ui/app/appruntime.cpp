#include "appruntime.h"

#include "app/environment.h"
#include "base/singleshottimer.h"
#include "navigation/approuter.h"
#include "platform/networkfeedfetcher.h"
#include "platform/portalcolorscheme.h"
#include "preferences/effectivecolorscheme.h"
#include "preferences/preferences.h"
#include "quillbrookapp.h"
#include "store/idlecheckpoint.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "store/persistence.h"
#include "sync/caldavmirror.h"
#include "sync/credentialstore.h"
#include "sync/networktransport.h"
#include "sync/syncservice.h"
#include "tasks/undocenter.h"
#include "updates/updater.h"
#include "widget/widgethost.h"
#include "widget/widgetsnapshotwriter.h"

#include <QSettings>
#include <QTimer>

namespace qb {

namespace {
// How often commits by other processes (the command-line client) are looked for.
constexpr auto remoteChangePollInterval = std::chrono::seconds(2);
} // namespace

struct AppRuntime::Parts {
    std::unique_ptr<ModelContainer> container;
    std::unique_ptr<IdleCheckpoint> checkpoint;
    UndoCenter undoCenter{std::make_unique<QtSingleShotTimer>()};
    AppRouter router;
    Preferences preferences;
    PortalColorScheme desktopScheme;
    EffectiveColorScheme colorScheme{&preferences, &desktopScheme};
    std::unique_ptr<Updater> updater;
    WidgetHostGroup widgetHosts;
    std::unique_ptr<WidgetSnapshotWriter> widget;
    std::unique_ptr<Environment> environment;
    sync::KeyringCredentials keyring;
    // Before the app object, which holds it; after the container, which it writes to.
    std::unique_ptr<sync::SyncService> sync;
    std::unique_ptr<QuillbrookApp> app;
    QTimer remotePoll;
};

AppRuntime::AppRuntime(const QStringList &arguments, const QString &storeFolder, Calendar calendar,
                       Clock clock)
    : d(std::make_unique<Parts>()) {
    sync::CalDavMirror mirror([] {
        QSettings settings;
        return sync::SyncAccount::load(settings);
    }());
    d->container = persistence::makeContainer(arguments, storeFolder, mirror, calendar.localeId());
    const bool mirrored =
        d->container->configuration().cloudMode == ModelContainer::CloudMode::Automatic;
    d->checkpoint = std::make_unique<IdleCheckpoint>(d->container->mainContext(),
                                                     std::make_unique<QtSingleShotTimer>());
    {
        QSettings settings;
        persistence::backfillScheduledDates(*d->container, settings, clock, calendar);
    }
    d->updater = std::make_unique<Updater>(UpdaterConfig::forThisBuild(d->preferences),
                                           std::make_unique<NetworkFeedFetcher>(),
                                           std::make_unique<QtSingleShotTimer>());
    d->updater->start();
    d->widget =
        std::make_unique<WidgetSnapshotWriter>(storeFolder, d->widgetHosts, clock, calendar);

    d->environment = std::make_unique<Environment>(
        TaskEnvironment{clock, calendar, d->widget.get()}, std::make_unique<QtSingleShotTimer>());

    sync::SyncService::Parts syncParts;
    syncParts.container = d->container.get();
    syncParts.credentials = &d->keyring;
    syncParts.settings = [] { return std::make_unique<QSettings>(); };
    syncParts.transports = [] { return std::make_unique<sync::NetworkTransport>(); };
    syncParts.calendar = calendar;
    syncParts.clock = clock;
    syncParts.timers = [] { return std::make_unique<QtSingleShotTimer>(); };
    syncParts.enabled = !persistence::isCloudDisabled(arguments);
    d->sync = std::make_unique<sync::SyncService>(syncParts);
    // Any trouble (no keyring, no network, a refused password) shows in Settings; the local
    // store is what the app reads and writes either way.
    if (mirrored)
        d->sync->start();

    ModelContext &context = d->container->mainContext();
    QuillbrookApp::Parts parts;
    parts.context = &context;
    parts.environment = d->environment.get();
    parts.undoCenter = &d->undoCenter;
    parts.router = &d->router;
    parts.preferences = &d->preferences;
    parts.colorScheme = &d->colorScheme;
    parts.updater = d->updater.get();
    parts.sync = d->sync.get();
    d->app = std::make_unique<QuillbrookApp>(parts);
    QuillbrookApp::setInstance(d->app.get());

    QObject::connect(&d->remotePoll, &QTimer::timeout, &context,
                     [&context] { context.checkForRemoteChanges(); });
    d->remotePoll.start(remoteChangePollInterval);

    for (const QString &url : AppRouter::urlArguments(arguments))
        d->router.handle(url);
}

AppRuntime::~AppRuntime() {
    // A failed save leaves changes in memory; this is the last chance to write them.
    taskStore().saveUnsavedChanges();
    QuillbrookApp::setInstance(nullptr);
}

QuillbrookApp &AppRuntime::app() {
    return *d->app;
}

Environment &AppRuntime::environment() {
    return *d->environment;
}

TaskStore AppRuntime::taskStore() {
    return d->environment->taskStore(d->container->mainContext());
}

ModelContainer &AppRuntime::container() {
    return *d->container;
}

WidgetHostGroup &AppRuntime::widgetHosts() {
    return d->widgetHosts;
}

QString AppRuntime::snapshotPath() const {
    return d->widget->snapshotPath();
}

} // namespace qb
