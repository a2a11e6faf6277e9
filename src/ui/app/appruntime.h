#pragma once

#include "model/calendar.h"
#include "model/clock.h"

#include <QStringList>

#include <memory>

namespace qb {

class Environment;
class ModelContainer;
class QuillbrookApp;
class TaskStore;
class WidgetHostGroup;

// Everything the app builds at start-up, in order: the store (or the fatal stop), the
// one-time migration, the undo center, the router, the preferences and appearance, the
// updater, the widget refresh and the QML-facing application object. Shared by the app, the
// screenshot tool and the end-to-end test.
class AppRuntime {
public:
    AppRuntime(const QStringList &arguments, const QString &storeFolder, Calendar calendar,
               Clock clock);
    ~AppRuntime();
    AppRuntime(const AppRuntime &) = delete;
    AppRuntime &operator=(const AppRuntime &) = delete;

    QuillbrookApp &app();
    ModelContainer &container();
    Environment &environment();
    // Task operations over the main context.
    TaskStore taskStore();
    // The hosts told to reload after each snapshot write; none until the desktop shell joins.
    WidgetHostGroup &widgetHosts();
    // The Today snapshot file the widget refresh writes.
    QString snapshotPath() const;

private:
    struct Parts;
    std::unique_ptr<Parts> d;
};

} // namespace qb
