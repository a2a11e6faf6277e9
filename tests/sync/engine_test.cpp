#include "fakecaldav.h"
#include "syncfixture.h"

#include <QProcess>

using namespace Qt::Literals::StringLiterals;

using namespace qb;
using namespace qb::sync;
using namespace qb::sync::test;
using namespace std::chrono_literals;

namespace {

QByteArray todoObject(const QString &uid, const QString &summary, const QByteArray &extra = {}) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\nBEGIN:VTODO\r\nUID:" +
           uid.toUtf8() + "\r\nDTSTAMP:20240301T120000Z\r\nSUMMARY:" + summary.toUtf8() + "\r\n" +
           extra + "END:VTODO\r\nEND:VCALENDAR\r\n";
}

// The server answers `status` and `body` instead to each request `pick` accepts; status 0 is no
// answer at all.
void answerInstead(FakeCalDav &server, const std::function<bool(const HttpRequest &)> &pick,
                   int status, const QByteArray &body = {}) {
    HttpResponse response;
    response.status = status;
    response.body = body;
    if (status == 0)
        response.error = u"The server cannot be reached: Connection refused"_s;
    server.intercept = [=](const HttpRequest &request) -> std::optional<HttpResponse> {
        return pick(request) ? std::optional(response) : std::nullopt;
    };
}

} // namespace

class Engine : public ::testing::Test {
protected:
    std::unique_ptr<Device> device(const QString &password = u"secret"_s) {
        return std::make_unique<Device>(server, server.collectionUrl(), password);
    }
    // The devices sync one after another; false at the first round that fails.
    template <typename... Devices> static bool syncInTurn(const Devices &...devices) {
        return (devices->sync() && ...);
    }

    FakeCalDav server;
};

TEST_F(Engine, aServerGoingDownMidSyncLosesNothingAndDuplicatesNothing) {
    auto a = device();
    for (int i = 0; i < 30; ++i)
        a->tasks().add(u"To-do %1"_s.arg(i), TodoList::Later);
    int puts = 0;
    answerInstead(
        server, [&puts](const HttpRequest &r) { return r.method == "PUT" && ++puts > 10; }, 0);
    EXPECT_FALSE(a->sync());
    EXPECT_TRUE(a->engine->status().lastError.contains(u"cannot be reached"_s));
    EXPECT_EQ(server.objects.size(), 10);
    EXPECT_EQ(a->pending(), 20);

    // Down in the middle of a pull of two batches.
    server.intercept = nullptr;
    ASSERT_TRUE(a->sync());
    EXPECT_EQ(server.objects.size(), 30);
    for (int i = 0; i < 120; ++i)
        server.store(u"other-%1.ics"_s.arg(i),
                     todoObject(u"other-%1"_s.arg(i), u"Other %1"_s.arg(i)));
    auto b = device();
    int multigets = 0;
    answerInstead(
        server,
        [&multigets](const HttpRequest &r) {
            return r.body.contains("calendar-multiget") && ++multigets == 2;
        },
        0);
    EXPECT_FALSE(b->sync());
    EXPECT_EQ(b->todos().size(), 100);
    server.intercept = nullptr;
    ASSERT_TRUE(b->sync());
    EXPECT_EQ(b->todos().size(), 150);
    ASSERT_TRUE(a->sync());
    EXPECT_EQ(a->todos().size(), 150);
}

TEST_F(Engine, aStormOfPreconditionFailuresIsBoundedAndTriedAgainLater) {
    auto a = device();
    auto item = a->tasks().add(u"Stormy"_s, TodoList::Today);
    ASSERT_TRUE(a->sync());
    a->tasks().setTitle(item, u"Still stormy"_s);
    answerInstead(
        server, [](const HttpRequest &r) { return r.method == "PUT"; }, 412);
    const int before = server.count("PUT");
    QSignalSpy finished(a->engine.get(), &SyncEngine::finished);
    EXPECT_FALSE(a->sync());
    EXPECT_EQ(server.count("PUT") - before, 3);
    EXPECT_TRUE(a->engine->status().lastError.contains(u"kept refusing"_s));
    EXPECT_EQ(a->pending(), 1);

    // The retry comes by itself once its delay has passed.
    server.intercept = nullptr;
    a->time.advance(29s);
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 1);
    a->time.advance(1s);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_TRUE(finished.last().first().toBool());
    EXPECT_EQ(a->pending(), 0);
    auto b = device();
    ASSERT_TRUE(b->sync());
    EXPECT_TRUE(b->find(u"Still stormy"_s));
}

TEST_F(Engine, objectsThatCannotBeReadAreLeftAloneAndTheRestArrives) {
    server.store(u"garbage.ics"_s, "this is not iCalendar");
    server.store(u"event.ics"_s,
                 "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:e\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    server.store(u"huge.ics"_s,
                 todoObject(u"huge"_s, u"Huge"_s,
                            "DESCRIPTION:" + QByteArray(maximumObjectSize, 'x') + "\r\n"));
    server.store(u"good.ics"_s, todoObject(u"good"_s, u"Good"_s));
    auto a = device();
    ASSERT_TRUE(a->sync());
    ASSERT_EQ(a->todos().size(), 1);
    EXPECT_EQ(a->todos().first()->title(), u"Good"_s);
    // They stay on the server untouched.
    EXPECT_EQ(server.objects.size(), 4);
    EXPECT_EQ(server.count("PUT"), 0);

    // An answer that is not XML fails the round instead of reading half of it.
    server.store(u"late.ics"_s, todoObject(u"late"_s, u"Late"_s));
    answerInstead(
        server, [](const HttpRequest &r) { return r.method == "REPORT"; }, 207,
        "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>");
    EXPECT_FALSE(a->sync());
    EXPECT_TRUE(a->engine->status().lastError.contains(u"could not be read"_s));
    EXPECT_EQ(a->todos().size(), 1);
}

// A forgotten token is refused (RFC 6578), or, by servers that drop tokens a week old, answered
// with a plain listing of the members, deletions left out: a device back after a week must
// still remove what was deleted meanwhile.
TEST_F(Engine, aForgottenTokenComparesEverythingWithoutDuplicates) {
    for (const auto forgotten : {FakeCalDav::Forgotten::Refused, FakeCalDav::Forgotten::Listed}) {
        FakeCalDav server;
        const auto device = [&] {
            return std::make_unique<Device>(server, server.collectionUrl(), u"secret"_s);
        };
        auto a = device();
        auto b = device();
        for (int i = 0; i < 5; ++i)
            a->tasks().add(u"Item %1"_s.arg(i), TodoList::Later);
        ASSERT_TRUE(syncInTurn(a, b));
        // While b is away: an edit and a deletion here, an edit by another client there.
        a->tasks().setTitle(a->find(u"Item 1"_s), u"Item one"_s);
        a->tasks().remove(a->find(u"Item 4"_s));
        const QUuid id = a->find(u"Item 3"_s)->id();
        const QString name = StoreSide::uidFor(id) + u".ics"_s;
        QByteArray renamed =
            server.objects.value(QLatin1String(FakeCalDav::collectionPath) + name).data;
        server.store(name, renamed.replace("SUMMARY:", "SUMMARY:Renamed "));
        server.forgetTokens(forgotten);

        ASSERT_TRUE(a->sync());
        EXPECT_EQ(a->todos().size(), 4);
        EXPECT_TRUE(a->find(u"Item one"_s));
        EXPECT_EQ(a->find(u"Renamed Item 3"_s)->id(), id);
        *b->moment = b->moment->addDays(8);
        ASSERT_TRUE(b->sync());
        EXPECT_EQ(b->todos().size(), 4) << int(forgotten);
        EXPECT_TRUE(b->find(u"Item one"_s));
        EXPECT_FALSE(b->find(u"Item 4"_s)) << int(forgotten);
    }
}

// Servers without sync-collection refuse the report with 403 (as RFC 3253 has it) or 501:
// the list is then compared by entity tags, and still each change travels once.
TEST_F(Engine, aServerWithoutSyncCollectionIsComparedByEntityTags) {
    for (const int status : {403, 501}) {
        answerInstead(
            server, [](const HttpRequest &r) { return r.body.contains("sync-collection"); },
            status);
        auto a = device();
        auto b = device();
        const QString title = u"Sent past a %1"_s.arg(status);
        a->tasks().add(title, TodoList::Later);
        ASSERT_TRUE(a->sync()) << a->engine->status().lastError.toStdString();
        ASSERT_TRUE(b->sync()) << b->engine->status().lastError.toStdString();
        EXPECT_TRUE(b->find(title)) << status;
        const int puts = server.count("PUT");
        ASSERT_TRUE(syncInTurn(a, b));
        EXPECT_EQ(server.count("PUT"), puts) << status;
        EXPECT_EQ(b->todos().size(), a->todos().size()) << status;
    }
}

TEST_F(Engine, aRejectedPasswordStopsTryingUntilTheUserActs) {
    auto a = device(u"wrong"_s);
    a->tasks().add(u"Private"_s, TodoList::Today);
    EXPECT_FALSE(a->sync());
    EXPECT_EQ(a->engine->status().lastError,
              u"The server did not accept the user name or password."_s);
    const int requests = int(server.requests.size());
    a->engine->pushSoon();
    a->time.advance(1h);
    QCoreApplication::processEvents();
    EXPECT_EQ(server.requests.size(), requests);
    EXPECT_EQ(a->pending(), 1);
}

TEST_F(Engine, bothSidesEditingMergePerFieldAndSettle) {
    auto a = device();
    auto b = device();
    auto plan = a->tasks().add(u"Plan"_s, TodoList::Later);
    ASSERT_TRUE(syncInTurn(a, b));
    auto theirs = b->find(u"Plan"_s);
    ASSERT_TRUE(theirs);

    a->tasks().setTitle(plan, u"Plan A"_s);
    a->tasks().schedule(plan, *a->moment);
    // Here the edit was queued an hour before there.
    const QString sql =
        u"UPDATE sync_pending SET changed_at = changed_at - 3600000 WHERE record_id = '%1'"_s.arg(
            plan->id().toString(QUuid::WithoutBraces));
    EXPECT_EQ(QProcess::execute(u"sqlite3"_s, {a->folder.filePath(u"Device.store"_s), sql}), 0);
    b->tasks().setTitle(theirs, u"Plan B"_s);
    b->tasks().setNotes(theirs, u"from B"_s);
    ASSERT_TRUE(syncInTurn(a, b, a));

    for (Device *d : {a.get(), b.get()}) {
        const auto merged = d->find(u"Plan B"_s);
        ASSERT_TRUE(merged);
        EXPECT_TRUE(merged->scheduledDate().isValid());
        EXPECT_EQ(d->pending(), 0);
    }
    // Once both agree, a round sends nothing.
    const int puts = server.count("PUT");
    ASSERT_TRUE(syncInTurn(a, b));
    EXPECT_EQ(server.count("PUT"), puts);
}

TEST_F(Engine, anEditBeatsADeletionOnTheOtherSide) {
    auto a = device();
    auto b = device();
    auto kept = a->tasks().add(u"Deleted here, edited there"_s, TodoList::Later);
    auto back = a->tasks().add(u"Edited here, deleted there"_s, TodoList::Later);
    ASSERT_TRUE(syncInTurn(a, b));

    a->tasks().remove(kept);
    b->tasks().setNotes(b->find(u"Deleted here, edited there"_s), u"!"_s);
    a->tasks().setNotes(back, u"still wanted"_s);
    b->tasks().remove(b->find(u"Edited here, deleted there"_s));
    ASSERT_TRUE(syncInTurn(b, a, b));

    for (Device *d : {a.get(), b.get()}) {
        ASSERT_EQ(d->todos().size(), 2);
        EXPECT_EQ(d->find(u"Deleted here, edited there"_s)->notes(), u"!"_s);
        EXPECT_EQ(d->find(u"Edited here, deleted there"_s)->notes(), u"still wanted"_s);
    }
    EXPECT_EQ(server.objects.size(), 2);
}
