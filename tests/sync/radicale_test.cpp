#include "radicaleserver.h"
#include "syncfixture.h"

#include "sync/collectionfinder.h"
#include "sync/localrecords.h"
#include "sync/networktransport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace qb;
using namespace qb::sync;
using namespace qb::sync::test;
using qb::tools::RadicaleServer;

namespace {

const QString password = QStringLiteral("secret");

// Everything a device shows of its to-dos, in a form two devices can be compared by: days as
// calendar days in the device's own zone, moments to the second.
QStringList picture(Device &device) {
    QStringList lines;
    for (const TodoItemPtr &item : device.todos()) {
        const ItemFields f = fieldsOf(*item, device.calendar);
        QString line = QStringLiteral("%1 | %2 | %3 | %4 | %5 %6 | %7 | %8")
                           .arg(item->id().toString(), f.title, f.notes,
                                f.day ? f.day->toString(Qt::ISODate) : QStringLiteral("-"))
                           .arg(f.completed)
                           .arg(f.completedAt.toString(Qt::ISODate), f.ruleRaw)
                           .arg(f.sortOrder);
        for (const SubtaskPtr &subtask : item->orderedSubtasks())
            line += QStringLiteral(" [%1 %2 %3 %4]")
                        .arg(subtask->id().toString(), subtask->title())
                        .arg(subtask->isCompleted())
                        .arg(subtask->sortOrder());
        for (const LogEntry &entry : f.log)
            line +=
                QStringLiteral(" <%1 %2 %3>")
                    .arg(entry.kindRaw, entry.detail, entry.timestamp.toString(Qt::ISODateWithMs));
        lines.append(line);
    }
    lines.sort();
    return lines;
}

} // namespace

class Radicale : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.isRunning()) << server.failure().toStdString();
        collection = find(server.root(), QStringLiteral("Quill Brook"));
        ASSERT_TRUE(collection.isValid());
    }

    DavResult<FoundCollection> findResult(const QUrl &url, const QString &list,
                                          const QString &secret = password) {
        CollectionFinder finder(transport, QStringLiteral("alice"), secret);
        DavResult<FoundCollection> result;
        bool done = false;
        finder.find(url, list, [&](const DavResult<FoundCollection> &r) {
            result = r;
            done = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 5000));
        return result;
    }
    QUrl find(const QUrl &url, const QString &list) {
        const auto found = findResult(url, list);
        EXPECT_TRUE(found.ok()) << (found.error ? found.error->message.toStdString() : "");
        return found.value.url;
    }
    std::unique_ptr<Device> device(const QString &zone = QStringLiteral("America/New_York")) {
        return std::make_unique<Device>(transport, collection, password, zone);
    }
    // Both devices sync (first, then second, then first again) and must show the same.
    void exchange(Device &a, Device &b) {
        ASSERT_TRUE(a.sync()) << a.engine->status().lastError.toStdString();
        ASSERT_TRUE(b.sync()) << b.engine->status().lastError.toStdString();
        ASSERT_TRUE(a.sync()) << a.engine->status().lastError.toStdString();
        EXPECT_EQ(picture(a), picture(b));
        EXPECT_EQ(a.pending(), 0);
        EXPECT_EQ(b.pending(), 0);
    }
    QJsonArray python(const QString &command) {
        QProcess process;
        process.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(QB_SYNC_TEST_DIR "/caldav_interop.py"), collection.toString(),
                       QStringLiteral("alice"), password, command});
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    }

    RadicaleServer server{password};
    NetworkTransport transport;
    QUrl collection;
};

TEST_F(Radicale, signingInFindsOrMakesTheListAndChecksThePassword) {
    EXPECT_EQ(find(server.root(), QStringLiteral("Quill Brook")), collection);
    EXPECT_EQ(find(collection, QStringLiteral("Another name")), collection);
    EXPECT_NE(find(server.root(), QStringLiteral("Work")), collection);

    const auto wrong =
        findResult(server.root(), QStringLiteral("Quill Brook"), QStringLiteral("nope"));
    ASSERT_TRUE(wrong.error.has_value());
    EXPECT_EQ(wrong.error->kind, DavError::Kind::Credentials);
    // The right password typed into the address does not stand in for the account's.
    QUrl withPassword = server.root();
    withPassword.setUserInfo(QStringLiteral("alice:") + password);
    const auto typed =
        findResult(withPassword, QStringLiteral("Quill Brook"), QStringLiteral("nope"));
    ASSERT_TRUE(typed.error.has_value());
    EXPECT_EQ(typed.error->kind, DavError::Kind::Credentials);
    EXPECT_EQ(find(withPassword, QStringLiteral("Quill Brook")), collection);
    const auto plain =
        findResult(QUrl(QStringLiteral("http://example.org/dav/")), QStringLiteral("x"));
    ASSERT_TRUE(plain.error.has_value());
    EXPECT_TRUE(plain.error->message.contains(QStringLiteral("https://")));

    // A device with the wrong password says so in words.
    Device intruder(transport, collection, QStringLiteral("nope"));
    EXPECT_FALSE(intruder.sync());
    EXPECT_EQ(intruder.engine->status().lastError,
              QStringLiteral("The server did not accept the user name or password."));
}

TEST_F(Radicale, everyTaskOperationOnOneStoreArrivesOnTheOther) {
    auto a = device();
    auto b = device();
    const auto tasks = [&] { return a->tasks(); };
    const auto later = [&](int minutes) { *a->moment = a->moment->addSecs(60 * minutes); };

    auto milk = tasks().add(QStringLiteral("Buy milk"), TodoList::Today);
    later(1);
    auto call = tasks().add(QStringLiteral("Call Ann"), TodoList::Later);
    later(1);
    auto trip = tasks().add(QStringLiteral("Plan trip"), a->calendar.dateFrom(2024, 3, 12).value());
    exchange(*a, *b);

    later(1);
    tasks().setTitle(milk, QStringLiteral("Buy oat milk"));
    tasks().setNotes(call, QStringLiteral("Ask about Friday\nand Sunday; bring the list, too"));
    tasks().schedule(call, a->calendar.dateFrom(2024, 3, 14).value());
    exchange(*a, *b);

    auto hotel = tasks().addSubtask(trip, QStringLiteral("Book hotel"));
    auto pack = tasks().addSubtask(trip, QStringLiteral("Pack"));
    tasks().insertSubtask(QStringLiteral("Buy tickets"), hotel, trip);
    auto temp = tasks().addSubtask(trip, QStringLiteral("Temporary"));
    tasks().toggleSubtask(pack);
    tasks().renameSubtask(hotel, QStringLiteral("Book the hotel"));
    tasks().deleteSubtask(temp);
    exchange(*a, *b);
    tasks().reorderSubtasks({pack, trip->orderedSubtasks().at(1), hotel});
    exchange(*a, *b);

    RecurrenceRule weekly;
    weekly.frequency = RecurrenceRule::Frequency::Weekly;
    weekly.weekdays = {1, 3};
    tasks().setRepeat(milk, weekly);
    RecurrenceRule monthEnd;
    monthEnd.frequency = RecurrenceRule::Frequency::Monthly;
    monthEnd.lastDay = true;
    tasks().setRepeat(call, monthEnd);
    exchange(*a, *b);

    // Completing a repeating to-do makes the next one; it arrives once.
    later(1);
    tasks().toggleCompletion(milk);
    tasks().toggleCompletion(trip);
    exchange(*a, *b);
    later(1);
    tasks().toggleCompletion(trip);
    exchange(*a, *b);
    TodoFetch milks;
    milks.predicate =
        TodoPredicate::textEquals(TodoPredicate::TextField::Title, QStringLiteral("Buy oat milk"));
    EXPECT_EQ(b->context().fetch(milks).value().size(), 2);

    // Reordering a list, from the other device.
    TodoFetch open;
    open.predicate = TodoPredicate::isCompleted(false);
    open.sort = {{TodoSort::Field::SortOrder, true}};
    const auto shown = b->context().fetch(open).value();
    b->tasks().reorder(shown, {int(shown.size()) - 1}, 0);
    exchange(*b, *a);

    // Delete, then restore with the same identity.
    const auto snapshot = tasks().remove(call);
    ASSERT_TRUE(snapshot.has_value());
    exchange(*a, *b);
    EXPECT_FALSE(b->find(QStringLiteral("Call Ann")));
    tasks().restore(*snapshot);
    exchange(*a, *b);
    ASSERT_TRUE(b->find(QStringLiteral("Call Ann")));
    EXPECT_EQ(b->find(QStringLiteral("Call Ann"))->id(), call->id());
    int objects = 0;
    for (const TodoItemPtr &item : b->todos())
        objects += 1 + item->subtaskCount();
    EXPECT_EQ(server.objectCount(), objects);
}

TEST_F(Radicale, aDayStaysTheSameDayAcrossDaylightSavingInAnotherZone) {
    auto newYork = device(QStringLiteral("America/New_York"));
    auto berlin = device(QStringLiteral("Europe/Berlin"));
    // New York springs forward on 10 March, Berlin on 31 March and falls back on 27 October.
    newYork->tasks().add(QStringLiteral("US change"),
                         newYork->calendar.dateFrom(2024, 3, 10).value());
    newYork->tasks().add(QStringLiteral("EU change"),
                         newYork->calendar.dateFrom(2024, 3, 31).value());
    ASSERT_TRUE(newYork->sync());
    ASSERT_TRUE(berlin->sync());
    for (const auto &[title, day] :
         {std::pair{QStringLiteral("US change"), 10}, std::pair{QStringLiteral("EU change"), 31}}) {
        const auto item = berlin->find(title);
        ASSERT_TRUE(item);
        EXPECT_EQ(item->scheduledDate(), berlin->calendar.dateFrom(2024, 3, day).value())
            << title.toStdString();
    }

    berlin->tasks().schedule(berlin->find(QStringLiteral("EU change")),
                             berlin->calendar.dateFrom(2024, 10, 27).value());
    ASSERT_TRUE(berlin->sync());
    ASSERT_TRUE(newYork->sync());
    EXPECT_EQ(newYork->find(QStringLiteral("EU change"))->scheduledDate(),
              newYork->calendar.dateFrom(2024, 10, 27).value());
    EXPECT_EQ(newYork->find(QStringLiteral("US change"))->scheduledDate(),
              newYork->calendar.dateFrom(2024, 3, 10).value());
}

TEST_F(Radicale, anotherClientsToDosAndOursGoBothWays) {
    auto a = device();
    python(QStringLiteral("create"));
    ASSERT_TRUE(a->sync());
    const auto parent = a->find(QStringLiteral("From Python"));
    ASSERT_TRUE(parent);
    ASSERT_EQ(parent->subtaskCount(), 1);
    EXPECT_EQ(parent->subtasks().first()->title(), QStringLiteral("Child from Python"));
    EXPECT_EQ(parent->scheduledDate(), a->calendar.dateFrom(2024, 3, 15).value());
    EXPECT_EQ(parent->recurrenceRule()->lastDay, true);
    const auto biweekly = a->find(QStringLiteral("Every other Monday"));
    ASSERT_TRUE(biweekly);
    EXPECT_TRUE(biweekly->isRepeating());

    // Our edits keep what we do not use, and a rule we only approximate stays as written.
    a->tasks().setTitle(parent, QStringLiteral("From Python, renamed here"));
    a->tasks().setNotes(biweekly, QStringLiteral("edited here"));
    ASSERT_TRUE(a->sync());
    QJsonArray seen = python(QStringLiteral("dump"));
    ASSERT_EQ(seen.size(), 3);
    const auto byUid = [&seen](const QString &uid) {
        for (const QJsonValue &value : std::as_const(seen)) {
            if (value.toObject().value(QStringLiteral("uid")).toString() == uid)
                return value.toObject();
        }
        return QJsonObject();
    };
    const QJsonObject child = byUid(QStringLiteral("py-child"));
    const QJsonObject theirParent = byUid(QStringLiteral("py-parent"));
    const QJsonObject theirBiweekly = byUid(QStringLiteral("py-biweekly"));
    EXPECT_EQ(theirParent.value(QStringLiteral("summary")).toString(),
              QStringLiteral("From Python, renamed here"));
    EXPECT_EQ(theirParent.value(QStringLiteral("categories")).toInt(), 1);
    EXPECT_EQ(theirParent.value(QStringLiteral("alarms")).toInt(), 1);
    EXPECT_EQ(theirParent.value(QStringLiteral("order")).toString(), QStringLiteral("2000"));
    EXPECT_EQ(theirBiweekly.value(QStringLiteral("rrule")).toString(),
              QStringLiteral("FREQ=WEEKLY;INTERVAL=2;BYDAY=MO"));
    EXPECT_EQ(child.value(QStringLiteral("parents")).toArray().first().toString(),
              QStringLiteral("py-parent"));

    // Their edits, their completion (which moves the repeating one forward and files a done
    // copy), their deletion.
    python(QStringLiteral("edit"));
    python(QStringLiteral("complete"));
    python(QStringLiteral("delete"));
    ASSERT_TRUE(a->sync());
    EXPECT_FALSE(a->find(QStringLiteral("Every other Monday")));
    TodoFetch fromPython;
    fromPython.predicate = TodoPredicate::textEquals(TodoPredicate::TextField::Title,
                                                     QStringLiteral("From Python, renamed here"));
    const auto both = a->context().fetch(fromPython).value();
    ASSERT_EQ(both.size(), 2);
    const auto open = both[0]->isCompleted() ? both[1] : both[0];
    EXPECT_FALSE(open->isCompleted());
    EXPECT_EQ(open->id(), parent->id());
    EXPECT_EQ(open->scheduledDate(), a->calendar.dateFrom(2024, 3, 31).value());
    ASSERT_EQ(open->subtaskCount(), 1);
    EXPECT_EQ(open->subtasks().first()->title(), QStringLiteral("Child renamed in Python"));
    EXPECT_TRUE(open->subtasks().first()->isCompleted());

    // Ours, read by them.
    auto ours = a->tasks().add(QStringLiteral("From Quill Brook"), TodoList::Today);
    a->tasks().addSubtask(ours, QStringLiteral("Our step"));
    RecurrenceRule fridays;
    fridays.frequency = RecurrenceRule::Frequency::Weekly;
    fridays.weekdays = {5};
    a->tasks().setRepeat(ours, fridays);
    ASSERT_TRUE(a->sync());
    seen = python(QStringLiteral("dump"));
    const QJsonObject mine = byUid(StoreSide::uidFor(ours->id()));
    EXPECT_EQ(mine.value(QStringLiteral("summary")).toString(), QStringLiteral("From Quill Brook"));
    EXPECT_EQ(mine.value(QStringLiteral("rrule")).toString(),
              QStringLiteral("FREQ=WEEKLY;BYDAY=FR"));
    // Setting the rule moved it to the first Friday from today, 15 March.
    EXPECT_EQ(mine.value(QStringLiteral("due")).toString(), QStringLiteral("20240315"));
    const QJsonObject step = byUid(StoreSide::uidFor(ours->subtasks().first()->id()));
    EXPECT_EQ(step.value(QStringLiteral("parents")).toArray().first().toString(),
              StoreSide::uidFor(ours->id()));
}
