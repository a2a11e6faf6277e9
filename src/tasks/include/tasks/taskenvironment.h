#pragma once

#include "model/calendar.h"
#include "model/clock.h"

namespace qb {

class WidgetSnapshotWriter;

// What every task operation needs besides the records: the user's clock and calendar, and the
// widget refresh to run after a successful save (none in tools without a widget).
struct TaskEnvironment {
    Clock clock = Clock::system();
    Calendar calendar = Calendar::current();
    WidgetSnapshotWriter *widget = nullptr;
};

} // namespace qb
