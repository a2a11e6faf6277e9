#include "store/persistence.h"

#include "base/privatefile.h"
#include "model/calendar.h"
#include "model/clock.h"
#include "store/cloudmirror.h"
#include "store/modelcontext.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>

namespace qb::persistence {

QString storeFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = QDir(base).filePath(QStringLiteral("Quillbrook"));
    (void)makePrivateFolder(folder);
    return folder;
}

QString storePath(const QString &folder) {
    return QDir(folder).filePath(QStringLiteral("Quillbrook.store"));
}

bool isCloudDisabled(const QStringList &arguments) {
    return arguments.contains(QLatin1String(cloudDisabledArgument), Qt::CaseSensitive);
}

Result<std::unique_ptr<ModelContainer>> openContainer(const QStringList &arguments,
                                                      const QString &folder, CloudMirror &mirror,
                                                      const QString &searchLocaleId) {
    ModelContainer::Configuration configuration;
    configuration.path = storePath(folder);
    configuration.searchLocaleId = searchLocaleId;

    // Without an account there is nothing to attach: the store is opened once, locally.
    if (!isCloudDisabled(arguments) && mirror.isConfigured()) {
        configuration.cloudMode = ModelContainer::CloudMode::Automatic;
        auto mirrored = ModelContainer::open(configuration);
        // Any failure of the mirrored store is silent: the local store is the fallback.
        if (mirrored && mirror.attach(*mirrored.value()))
            return mirrored;
    }
    configuration.cloudMode = ModelContainer::CloudMode::None;
    return ModelContainer::open(configuration);
}

std::unique_ptr<ModelContainer> makeContainer(const QStringList &arguments, const QString &folder,
                                              CloudMirror &mirror, const QString &searchLocaleId) {
    auto container = openContainer(arguments, folder, mirror, searchLocaleId);
    if (!container) {
        const QByteArray message =
            (QLatin1String(fatalMessagePrefix) + container.message()).toUtf8();
        std::fprintf(stderr, "%s\n", message.constData());
        std::fflush(stderr);
        std::exit(EXIT_FAILURE);
    }
    return std::move(container.value());
}

void backfillScheduledDates(ModelContainer &container, QSettings &settings, const Clock &clock,
                            const Calendar &calendar) {
    const QString flag = QLatin1String(backfillFlagKey);
    if (settings.value(flag, false).toBool())
        return;

    if (auto context = container.newContext()) {
        TodoFetch request;
        request.predicate =
            TodoPredicate::textEquals(TodoPredicate::TextField::ListRaw, QStringLiteral("today")) &&
            TodoPredicate::dateAbsent(TodoPredicate::DateField::ScheduledDate);
        const auto items = context.value()->fetch(request);
        if (items && !items.value().isEmpty()) {
            const QDateTime startOfToday = calendar.startOfDay(clock.now());
            for (const auto &item : items.value())
                item->setScheduledDate(startOfToday);
            // A failed save is not retried: the migration runs at most once.
            (void)context.value()->save();
        }
    }
    settings.setValue(flag, true);
    // The preferences are private like the store; failing that, the flag is still written.
    (void)makePrivateFolder(QFileInfo(settings.fileName()).absolutePath());
    (void)makePrivateFile(settings.fileName());
    settings.sync();
}

} // namespace qb::persistence
