#include "radicaleserver.h"
#include "syncfixture.h"

#include "sync/collectionfinder.h"
#include "sync/localrecords.h"
#include "sync/networktransport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

using namespace qb;
using namespace qb::sync;
using namespace qb::sync::test;
using qb::tools::RadicaleServer;

namespace {

const QString password = u"secret"_s;

// Everything a device shows of its to-dos by id, in a form two devices can be compared by: days
// as calendar days in the device's own zone, moments to the second.
using Picture = QMap<QUuid, std::pair<ItemFields, QList<std::pair<QUuid, ItemFields>>>>;

Picture picture(Device &device) {
    Picture shown;
    for (const TodoItemPtr &item : device.todos()) {
        QList<std::pair<QUuid, ItemFields>> steps;
        for (const SubtaskPtr &subtask : item->orderedSubtasks())
            steps.append({subtask->id(), fieldsOf(*subtask)});
        shown.insert(item->id(), {fieldsOf(*item, device.calendar), steps});
    }
    return shown;
}

RecurrenceRule rule(const char *json) {
    return RecurrenceRule::fromJson(json).value();
}

} // namespace

class Radicale : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.isRunning()) << server.failure().toStdString();
        collection = find(server.root(), u"Quill Brook"_s);
        ASSERT_TRUE(collection.isValid());
    }

    DavResult<FoundCollection> findResult(const QUrl &url, const QString &list,
                                          const QString &secret = password) {
        CollectionFinder finder(transport, u"alice"_s, secret);
        std::optional<DavResult<FoundCollection>> result;
        finder.find(url, list, [&](const DavResult<FoundCollection> &r) { result = r; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
        return result.value_or(DavResult<FoundCollection>());
    }
    QUrl find(const QUrl &url, const QString &list) {
        const auto found = findResult(url, list);
        EXPECT_TRUE(found.ok()) << (found.error ? found.error->message.toStdString() : "");
        return found.value.url;
    }
    std::unique_ptr<Device> device(const QString &zone = u"America/New_York"_s) {
        return std::make_unique<Device>(transport, collection, password, zone);
    }
    // Both devices sync (first, then second, then first again) and must show the same.
    void exchange(Device &a, Device &b) {
        for (Device *device : {&a, &b, &a})
            ASSERT_TRUE(device->sync()) << device->engine->status().lastError.toStdString();
        EXPECT_EQ(picture(a), picture(b));
        EXPECT_EQ(a.pending(), 0);
        EXPECT_EQ(b.pending(), 0);
    }
    QJsonArray python(const QString &command) {
        QProcess process;
        process.start(u"/usr/bin/python3"_s,
                      {QStringLiteral(QB_SYNC_TEST_DIR "/caldav_interop.py"), collection.toString(),
                       u"alice"_s, password, command});
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    }

    // Checks fields of the objects the other client sees, by uid; returns how many there are.
    qsizetype seen(const QList<std::tuple<QString, QString, QJsonValue>> &expected) {
        const QJsonArray objects = python(u"dump"_s);
        for (const auto &[uid, key, value] : expected) {
            QJsonValue found;
            for (const QJsonValue &object : objects) {
                if (object[u"uid"_s] == uid)
                    found = object[key];
            }
            EXPECT_EQ(found, value) << uid.toStdString() << " " << key.toStdString() << ": "
                                    << QJsonDocument(QJsonArray{found}).toJson().toStdString();
        }
        return objects.size();
    }

    RadicaleServer server{password};
    NetworkTransport transport;
    QUrl collection;
};

TEST_F(Radicale, signingInFindsOrMakesTheListAndChecksThePassword) {
    EXPECT_EQ(find(server.root(), u"Quill Brook"_s), collection);
    EXPECT_EQ(find(collection, u"Another name"_s), collection);
    EXPECT_NE(find(server.root(), u"Work"_s), collection);

    // The right password typed into the address does not stand in for the account's.
    QUrl withPassword = server.root();
    withPassword.setUserInfo(u"alice:"_s + password);
    for (const QUrl &url : {server.root(), withPassword}) {
        const auto wrong = findResult(url, u"Quill Brook"_s, u"nope"_s);
        ASSERT_TRUE(wrong.error.has_value());
        EXPECT_EQ(wrong.error->kind, DavError::Kind::Credentials);
    }
    EXPECT_EQ(find(withPassword, u"Quill Brook"_s), collection);
    const auto plain = findResult(QUrl(u"http://example.org/dav/"_s), u"x"_s);
    ASSERT_TRUE(plain.error.has_value());
    EXPECT_TRUE(plain.error->message.contains(u"https://"_s));
}

// The second device is in Berlin, and the days chosen are those on which New York (10 March) or
// Berlin (31 March, 27 October) change their clocks: a day stays the same day.
TEST_F(Radicale, everyTaskOperationOnOneStoreArrivesOnTheOtherInAnotherZone) {
    auto a = device();
    auto b = device(u"Europe/Berlin"_s);
    const auto tasks = [&] { return a->tasks(); };
    const auto later = [&](int minutes) { *a->moment = a->moment->addSecs(60 * minutes); };

    auto milk = tasks().add(u"Buy milk"_s, TodoList::Today);
    later(1);
    auto call = tasks().add(u"Call Ann"_s, TodoList::Later);
    later(1);
    auto trip = tasks().add(u"Plan trip"_s, a->calendar.dateFrom(2024, 3, 10).value());
    exchange(*a, *b);

    later(1);
    tasks().setTitle(milk, u"Buy oat milk"_s);
    tasks().setNotes(call, u"Ask about Friday\nand Sunday; bring the list, too"_s);
    tasks().schedule(call, a->calendar.dateFrom(2024, 3, 31).value());
    exchange(*a, *b);

    auto hotel = tasks().addSubtask(trip, u"Book hotel"_s);
    auto pack = tasks().addSubtask(trip, u"Pack"_s);
    tasks().insertSubtask(u"Buy tickets"_s, hotel, trip);
    auto temp = tasks().addSubtask(trip, u"Temporary"_s);
    tasks().toggleSubtask(pack);
    tasks().renameSubtask(hotel, u"Book the hotel"_s);
    tasks().deleteSubtask(temp);
    exchange(*a, *b);
    tasks().reorderSubtasks({pack, trip->orderedSubtasks().at(1), hotel});
    exchange(*a, *b);

    tasks().setRepeat(milk, rule(R"({"frequency":"weekly","weekdays":[1,3],"lastDay":false})"));
    tasks().setRepeat(call, rule(R"({"frequency":"monthly","weekdays":[],"lastDay":true})"));
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
    milks.predicate = TodoPredicate::textEquals(TodoPredicate::TextField::Title, u"Buy oat milk"_s);
    EXPECT_EQ(b->context().fetch(milks).value().size(), 2);

    // Reordering a list, from the other device.
    TodoFetch open;
    open.predicate = TodoPredicate::isCompleted(false);
    open.sort = {{TodoSort::Field::SortOrder, true}};
    const auto shown = b->context().fetch(open).value();
    b->tasks().reorder(shown, {int(shown.size()) - 1}, 0);
    b->tasks().schedule(b->find(u"Plan trip"_s), b->calendar.dateFrom(2024, 10, 27).value());
    exchange(*b, *a);
    EXPECT_EQ(a->find(u"Plan trip"_s)->scheduledDate(), a->calendar.dateFrom(2024, 10, 27).value());

    // Delete, then restore with the same identity.
    const auto snapshot = tasks().remove(call);
    ASSERT_TRUE(snapshot.has_value());
    exchange(*a, *b);
    EXPECT_FALSE(b->find(u"Call Ann"_s));
    tasks().restore(*snapshot);
    exchange(*a, *b);
    ASSERT_TRUE(b->find(u"Call Ann"_s));
    EXPECT_EQ(b->find(u"Call Ann"_s)->id(), call->id());
    int objects = 0;
    for (const TodoItemPtr &item : b->todos())
        objects += 1 + item->subtaskCount();
    EXPECT_EQ(server.objectCount(), objects);
}

TEST_F(Radicale, anotherClientsToDosAndOursGoBothWays) {
    auto a = device();
    python(u"create"_s);
    ASSERT_TRUE(a->sync());
    const auto parent = a->find(u"From Python"_s);
    ASSERT_TRUE(parent);
    ASSERT_EQ(parent->subtaskCount(), 1);
    EXPECT_EQ(parent->subtasks().first()->title(), u"Child from Python"_s);
    const auto biweekly = a->find(u"Every other Monday"_s);
    ASSERT_TRUE(biweekly);

    // Our edits keep what we do not use, and a rule we only approximate stays as written.
    a->tasks().setTitle(parent, u"From Python, renamed here"_s);
    a->tasks().setNotes(biweekly, u"edited here"_s);
    ASSERT_TRUE(a->sync());
    EXPECT_EQ(seen({{u"py-parent"_s, u"summary"_s, u"From Python, renamed here"_s},
                    {u"py-parent"_s, u"categories"_s, 1},
                    {u"py-biweekly"_s, u"rrule"_s, u"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO"_s},
                    {u"py-child"_s, u"parents"_s, QJsonArray{u"py-parent"_s}}}),
              3);

    // Their edits, their completion (which moves the repeating one forward and files a done
    // copy), their deletion.
    python(u"edit"_s);
    python(u"complete"_s);
    python(u"delete"_s);
    ASSERT_TRUE(a->sync());
    EXPECT_FALSE(a->find(u"Every other Monday"_s));
    TodoFetch fromPython;
    fromPython.predicate =
        TodoPredicate::textEquals(TodoPredicate::TextField::Title, u"From Python, renamed here"_s);
    const auto both = a->context().fetch(fromPython).value();
    ASSERT_EQ(both.size(), 2);
    const auto open = both[0]->isCompleted() ? both[1] : both[0];
    EXPECT_FALSE(open->isCompleted());
    EXPECT_EQ(open->id(), parent->id());
    EXPECT_EQ(open->scheduledDate(), a->calendar.dateFrom(2024, 3, 31).value());
    ASSERT_EQ(open->subtaskCount(), 1);
    EXPECT_EQ(open->subtasks().first()->title(), u"Child renamed in Python"_s);
    EXPECT_TRUE(open->subtasks().first()->isCompleted());

    // Ours, read by them.
    auto ours = a->tasks().add(u"From Quill Brook"_s, TodoList::Today);
    a->tasks().addSubtask(ours, u"Our step"_s);
    a->tasks().setRepeat(ours, rule(R"({"frequency":"weekly","weekdays":[5],"lastDay":false})"));
    ASSERT_TRUE(a->sync());
    const QString uid = StoreSide::uidFor(ours->id());
    seen({{uid, u"summary"_s, u"From Quill Brook"_s},
          {uid, u"rrule"_s, u"FREQ=WEEKLY;BYDAY=FR"_s},
          {StoreSide::uidFor(ours->subtasks().first()->id()), u"parents"_s, QJsonArray{uid}}});
}
