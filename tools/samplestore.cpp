// Fills the default store ($XDG_DATA_HOME/Quillbrook) with a small, realistic set of to-dos
// for screenshots and hands-on testing: some due today (one overdue), some in Later's day
// sections and undated, a few done, with notes, subtasks and a repeat rule.
#include "model/calendar.h"
#include "model/clock.h"
#include "store/cloudmirror.h"
#include "store/modelcontainer.h"
#include "store/persistence.h"
#include "tasks/taskstore.h"
#include "widget/widgethost.h"
#include "widget/widgetsnapshotwriter.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const qb::Calendar calendar = qb::Calendar::current();
    qb::UnavailableCloudMirror mirror;
    const QString folder = qb::persistence::storeFolder();
    auto container = qb::persistence::openContainer({QStringLiteral("-cloudKitDisabled")}, folder,
                                                    mirror, calendar.localeId());
    if (!container) {
        std::fprintf(stderr, "%s\n", qPrintable(container.message()));
        return 1;
    }
    qb::NoWidgetHost host;
    qb::WidgetSnapshotWriter widget(folder, host, qb::Clock::system(), calendar);
    const qb::TaskEnvironment environment{qb::Clock::system(), calendar, &widget};
    qb::TaskStore store(container.value()->mainContext(), environment);

    const QDateTime today = calendar.startOfDay(QDateTime::currentDateTimeUtc());
    const auto day = [&](int offset) { return *calendar.addDays(today, offset); };

    auto report = store.add(QStringLiteral("Finish the quarterly report"), qb::TodoList::Today);
    store.setNotes(report, QStringLiteral("Numbers from finance are in the shared folder."));
    store.addSubtask(report, QStringLiteral("Revenue table"));
    store.addSubtask(report, QStringLiteral("Summary for the board"));
    store.add(QStringLiteral("Call the plumber about the kitchen sink"), day(-2));
    auto run = store.add(QStringLiteral("Morning run"), qb::TodoList::Today);
    store.setRepeat(run, qb::RecurrenceRule{});
    store.add(QStringLiteral("Buy oat milk and coffee beans"), qb::TodoList::Today);
    store.add(QStringLiteral("Reply to Café Central about Saturday"), qb::TodoList::Today);

    store.add(QStringLiteral("Dentist appointment"), day(1));
    store.add(QStringLiteral("Send the invoice to Müller & Co."), day(1));
    store.add(QStringLiteral("Pick up the dry cleaning"), day(3));
    store.add(QStringLiteral("Renew passport"), day(9));
    store.add(QStringLiteral("Plan the summer holiday"), qb::TodoList::Later);
    auto books = store.add(QStringLiteral("Read “The Left Hand of Darkness”"), qb::TodoList::Later);
    store.setNotes(books, QStringLiteral("Borrow from the library first."));
    store.add(QStringLiteral("Learn a few words of Portuguese"), qb::TodoList::Later);

    for (const char *title :
         {"Water the plants", "Pay the electricity bill", "Book a table for Friday"}) {
        auto done = store.add(QString::fromUtf8(title), qb::TodoList::Today);
        store.toggleCompletion(done);
    }
    std::printf("Sample store written to %s\n", qPrintable(qb::persistence::storePath(folder)));
    return 0;
}
