#pragma once

#include "store/modelcontainer.h"

#include <QStringList>

#include <memory>

class QSettings;

namespace qb {

class Calendar;
class Clock;
class CloudMirror;

namespace persistence {

inline constexpr auto cloudDisabledArgument = "-cloudKitDisabled";
inline constexpr auto backfillFlagKey = "scheduledDateBackfilled_v1";
inline constexpr auto fatalMessagePrefix = "Unable to create a local ModelContainer: ";

// "Quillbrook" in the user's data folder, private (mode 0700): created so when missing. Errors
// are ignored: opening the store then decides.
QString storeFolder();
QString storePath(const QString &folder);

// True when one argument is exactly "-cloudKitDisabled".
bool isCloudDisabled(const QStringList &arguments);

// Tries the mirrored store unless disabled, then the local one. Returns the local store's
// error when even that cannot be opened.
Result<std::unique_ptr<ModelContainer>> openContainer(const QStringList &arguments,
                                                      const QString &folder, CloudMirror &mirror,
                                                      const QString &searchLocaleId);

// openContainer, or the fatal stop: message on standard error, exit status 1.
std::unique_ptr<ModelContainer> makeContainer(const QStringList &arguments, const QString &folder,
                                              CloudMirror &mirror, const QString &searchLocaleId);

// Gives undated to-dos created in Today the start of today, once per user: the flag in
// `settings` is set whatever the outcome.
void backfillScheduledDates(ModelContainer &container, QSettings &settings, const Clock &clock,
                            const Calendar &calendar);

} // namespace persistence
} // namespace qb
