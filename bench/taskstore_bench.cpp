// Task operations on writable copies of stores of 1,000 and 100,000 to-dos shaped like years of
// use. Each operation saves and refreshes the widget snapshot, as it does in the app. Beside
// them, a bare SQLite commit of one row with the store's durability settings: an operation
// should cost a small multiple of that commit, whatever the size of the store.

#include "storegenerator.h"

#include "base/singleshottimer.h"
#include "model/todopredicate.h"
#include "store/idlecheckpoint.h"
#include "store/modelcontext.h"
#include "tasks/taskenvironment.h"
#include "tasks/taskstore.h"
#include "widget/widgethost.h"
#include "widget/widgetsnapshotwriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace {

using namespace qb;

void skip(benchmark::State &state, const QString &message) {
    state.SkipWithError(message.toUtf8().constData());
}

// The wait for a pause in saving, which never ends here.
class NoPause final : public SingleShotTimer {
public:
    void start(std::chrono::milliseconds, std::function<void()>) override {}
    void stop() override {}
    bool isActive() const override { return false; }
};

// A store copy of the benchmark's size with the task operations on it: the reference clock and
// calendar, and a widget snapshot written into the store's folder for a host that shows none.
class Desk {
public:
    explicit Desk(benchmark::State &state)
        : m_state(state) {
        auto copy = bench::StoreCopy::open(static_cast<int>(state.range(0)));
        if (!copy) {
            skip(state, copy.message());
            return;
        }
        m_store = std::move(copy.value());
        // As the app runs its store, but the pause never comes: the log is copied inside a
        // save whenever it fills, the app's worst case of saves without a break.
        m_checkpoint.emplace(context(), std::make_unique<NoPause>());
        const Clock clock = Clock::fixed(bench::referenceNow());
        m_widget.emplace(m_store->folder(), m_host, clock, bench::referenceCalendar());
        m_tasks.emplace(context(), TaskEnvironment{clock, bench::referenceCalendar(), &*m_widget});
    }

    bool ready() const { return m_tasks.has_value(); }
    TaskStore &tasks() { return *m_tasks; }
    WidgetSnapshotWriter &widget() { return *m_widget; }
    ModelContext &context() { return m_store->container().mainContext(); }

    // A task operation fails silently and keeps its change for the next save; here that ends
    // the benchmark, since later figures would time something else.
    bool saved() {
        if (!context().hasChanges())
            return true;
        skip(m_state, QStringLiteral("A save failed"));
        return false;
    }

    // The first to-do `request` finds; null (and the benchmark skipped) when there is none.
    // Lookups between timed runs go through an index: a scan of the large store would push
    // the pages the next run needs out of the cache, which the app never does between edits.
    TodoItemPtr findOne(TodoFetch request) {
        request.limit = 1;
        auto found = context().fetch(request);
        if (!found || found.value().isEmpty()) {
            skip(m_state, found ? QStringLiteral("No to-do found") : found.message());
            return nullptr;
        }
        return found.value().first();
    }

    QDateTime day(int offset) const {
        const Calendar &calendar = bench::referenceCalendar();
        return calendar.addDays(calendar.startOfDay(bench::referenceNow()), offset).value();
    }

private:
    benchmark::State &m_state;
    std::unique_ptr<bench::StoreCopy> m_store;
    std::optional<IdleCheckpoint> m_checkpoint;
    NoWidgetHost m_host;
    std::optional<WidgetSnapshotWriter> m_widget;
    std::optional<TaskStore> m_tasks;
};

// Adding to Today. The new to-do is removed untimed, so the Today list keeps its size.
void BM_Add(benchmark::State &state) {
    Desk desk(state);
    if (!desk.ready())
        return;
    for (auto _ : state) {
        const TodoItemPtr item =
            desk.tasks().add(QStringLiteral("Book the car service"), TodoList::Today);
        benchmark::DoNotOptimize(item.get());
        state.PauseTiming();
        if (!desk.saved())
            break;
        desk.tasks().remove(item);
        state.ResumeTiming();
    }
}

// Completing a to-do that repeats daily, which writes its next instance. Untimed, the completed
// one is removed and the new instance becomes the next to complete.
void BM_ToggleRepeating(benchmark::State &state) {
    Desk desk(state);
    if (!desk.ready())
        return;
    const QString title = QStringLiteral("Water the balcony plants");
    TodoItemPtr item = desk.tasks().add(title, TodoList::Today);
    desk.tasks().setRepeat(item, RecurrenceRule{});
    if (!desk.saved())
        return;
    // The instance just written is the open to-do created last (the generated ones are older).
    TodoFetch newestOpen;
    newestOpen.predicate = TodoPredicate::isCompleted(false);
    newestOpen.sort = {{TodoSort::Field::IsCompleted, true}, {TodoSort::Field::CreatedAt, false}};
    for (auto _ : state) {
        desk.tasks().toggleCompletion(item);
        state.PauseTiming();
        if (!desk.saved())
            break;
        const TodoItemPtr next = desk.findOne(newestOpen);
        if (!next || next == item || next->title() != title || !next->recurrenceRule()) {
            skip(state, QStringLiteral("The next instance was not written"));
            break;
        }
        desk.tasks().remove(item);
        item = next;
        state.ResumeTiming();
    }
}

// Rescheduling one to-do, between two days so that every call changes its date.
void BM_Schedule(benchmark::State &state) {
    Desk desk(state);
    if (!desk.ready())
        return;
    const TodoItemPtr item =
        desk.tasks().add(QStringLiteral("Renew the passport"), TodoList::Today);
    const QDateTime days[] = {desk.day(1), desk.day(2)};
    int turn = 0;
    for (auto _ : state) {
        const auto edit = desk.tasks().schedule(item, days[turn]);
        turn = 1 - turn;
        if (!edit) {
            skip(state, QStringLiteral("Scheduling changed nothing"));
            break;
        }
        benchmark::DoNotOptimize(&*edit);
        if (!desk.saved())
            break;
    }
}

// Deleting a to-do with three subtasks and five change entries, then restoring it, as undo
// does: two saves. The restored to-do is looked up untimed, with its relations still unloaded
// as after any fetch.
void BM_RemoveAndRestore(benchmark::State &state) {
    Desk desk(state);
    if (!desk.ready())
        return;
    TaskStore &tasks = desk.tasks();
    TodoItemPtr item = tasks.add(QStringLiteral("Plan the team offsite"), TodoList::Today);
    for (const char *subtask : {"Book a room", "Order lunch", "Write the agenda"})
        tasks.addSubtask(item, QString::fromLatin1(subtask));
    tasks.setNotes(item, QStringLiteral("Ask Sam which Thursday works."));
    tasks.setTitle(item, QStringLiteral("Plan the team offsite in May"));
    tasks.schedule(item, desk.day(3));
    tasks.setTitle(item, QStringLiteral("Plan the team offsite"));
    if (!desk.saved())
        return;
    const auto expected = TodoSnapshot::of(*item);
    for (auto _ : state) {
        const auto snapshot = tasks.remove(item);
        if (!snapshot) {
            skip(state, QStringLiteral("The to-do was not in the store"));
            break;
        }
        tasks.restore(*snapshot);
        state.PauseTiming();
        if (!desk.saved())
            break;
        TodoFetch byId;
        byId.predicate = TodoPredicate::idEquals(snapshot->id);
        item = desk.findOne(byId);
        if (!item)
            break;
        state.ResumeTiming();
    }
    if (item && (item->subtasks().size() != expected.subtasks.size() ||
                 item->changes().size() != expected.changes.size()))
        skip(state, QStringLiteral("Restored with %1 subtasks and %2 changes instead of %3 and %4")
                        .arg(item->subtasks().size())
                        .arg(item->changes().size())
                        .arg(expected.subtasks.size())
                        .arg(expected.changes.size()));
    state.counters["subtasks"] = double(expected.subtasks.size());
    state.counters["changes"] = double(expected.changes.size());
}

// What the app does once saving pauses: the log of a burst of 20 added to-dos (added and
// saved untimed) copied into the store file. They go to Later, so that the Today list, which
// every save's widget refresh sorts, keeps its size however many runs there are.
void BM_IdleCheckpoint(benchmark::State &state) {
    Desk desk(state);
    if (!desk.ready())
        return;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 20; ++i)
            desk.tasks().add(QStringLiteral("Reply to the landlord"), TodoList::Later);
        const bool saved = desk.saved();
        state.ResumeTiming();
        if (!saved)
            break;
        if (const Status status = desk.context().checkpoint(); !status) {
            skip(state, status.message());
            break;
        }
    }
}

// The widget refresh on its own, as every operation above runs it after its save: the Today
// count and first rows, then the snapshot file written and swapped into place.
void BM_WidgetRefresh(benchmark::State &state) {
    Desk desk(state);
    if (!desk.ready())
        return;
    for (auto _ : state)
        desk.widget().refresh(desk.context());
    QFile snapshot(desk.widget().snapshotPath());
    if (!snapshot.open(QIODevice::ReadOnly) || !snapshot.readAll().startsWith("{\"totalCount\":"))
        skip(state, QStringLiteral("No snapshot written"));
}

// SQLite on its own --------------------------------------------------------------------------

struct SqliteClose {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct SqliteFinalize {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Connection = std::unique_ptr<sqlite3, SqliteClose>;
using Prepared = std::unique_ptr<sqlite3_stmt, SqliteFinalize>;

// Runs `statement` to its end and resets it.
bool runToEnd(sqlite3_stmt *statement) {
    const int code = sqlite3_step(statement);
    sqlite3_reset(statement);
    return code == SQLITE_DONE;
}

// Opens `path` with the store's durability settings: write-ahead log, full sync.
Connection openLikeTheStore(const QByteArray &path, bool create) {
    sqlite3 *handle = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int opened = sqlite3_open_v2(path.constData(), &handle, flags, nullptr);
    Connection db(handle);
    if (opened != SQLITE_OK)
        return nullptr;
    for (const char *setup : {"PRAGMA journal_mode = WAL", "PRAGMA synchronous = FULL",
                              "PRAGMA foreign_keys = ON", "PRAGMA cache_size = -16384"}) {
        if (sqlite3_exec(db.get(), setup, nullptr, nullptr, nullptr) != SQLITE_OK)
            return nullptr;
    }
    return db;
}

Prepared prepare(sqlite3 *db, const char *sql) {
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    return Prepared(statement);
}

// One row inserted and committed in a file of its own with the store's durability settings,
// through the SQLite C API alone: the floor for any save.
void BM_BareCommit(benchmark::State &state) {
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/quillbrook-bench-XXXXXX"));
    if (!folder.isValid())
        return skip(state, QStringLiteral("No temporary folder"));
    const Connection db =
        openLikeTheStore(QFile::encodeName(folder.filePath(QStringLiteral("bare.sqlite"))), true);
    const auto fail = [&] {
        skip(state, db ? QString::fromUtf8(sqlite3_errmsg(db.get()))
                       : QStringLiteral("Cannot open the file"));
    };
    if (!db || sqlite3_exec(db.get(),
                            "CREATE TABLE note (pk INTEGER PRIMARY KEY, title TEXT NOT NULL, "
                            "created_at INTEGER NOT NULL)",
                            nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail();
    const Prepared begin = prepare(db.get(), "BEGIN IMMEDIATE");
    const Prepared insert = prepare(db.get(), "INSERT INTO note (title, created_at) VALUES (?, ?)");
    const Prepared commit = prepare(db.get(), "COMMIT");
    if (!begin || !insert || !commit)
        return fail();
    const QByteArray title = "Book the car service";
    sqlite3_int64 createdAt = bench::referenceNow().toMSecsSinceEpoch();
    for (auto _ : state) {
        sqlite3_bind_text(insert.get(), 1, title.constData(), int(title.size()), SQLITE_STATIC);
        sqlite3_bind_int64(insert.get(), 2, ++createdAt);
        if (!runToEnd(begin.get()) || !runToEnd(insert.get()) || !runToEnd(commit.get()))
            return fail();
    }
}

// What `add` writes, a to-do in Today and its "created" entry, inserted and committed through
// the C API into a copy of the same store: what SQLite alone needs for that save, with the
// store's indexes. The row is deleted untimed, as BM_Add removes its to-do.
void BM_BareTodoCommit(benchmark::State &state) {
    auto copy = bench::StoreCopy::open(static_cast<int>(state.range(0)));
    if (!copy)
        return skip(state, copy.message());
    const Connection db = openLikeTheStore(QFile::encodeName(copy.value()->path()), false);
    if (!db)
        return skip(state, QStringLiteral("Cannot open the store"));
    const Prepared begin = prepare(db.get(), "BEGIN IMMEDIATE");
    const Prepared todo = prepare(
        db.get(), "INSERT INTO todo_item (id, title, notes, is_completed, scheduled_date, "
                  "list_raw, sort_order, created_at) VALUES (?, ?, '', 0, ?, 'today', ?, ?)");
    const Prepared entry = prepare(
        db.get(), "INSERT INTO change_entry (id, timestamp, kind_raw, item_pk, position) VALUES "
                  "(?, ?, 'created', ?, (SELECT coalesce(max(position), 0) + 1 FROM "
                  "change_entry WHERE item_pk IS ?))");
    const Prepared commit = prepare(db.get(), "COMMIT");
    const Prepared remove = prepare(db.get(), "DELETE FROM todo_item WHERE pk = ?");
    if (!begin || !todo || !entry || !commit || !remove)
        return skip(state, QString::fromUtf8(sqlite3_errmsg(db.get())));
    const QByteArray title = "Book the car service";
    const Calendar &calendar = bench::referenceCalendar();
    const sqlite3_int64 today = calendar.startOfDay(bench::referenceNow()).toMSecsSinceEpoch();
    const sqlite3_int64 now = bench::referenceNow().toMSecsSinceEpoch();
    // Looked up once, untimed: the store's own lookup of the next sort order is part of what
    // `add` costs, not of what SQLite needs to write it.
    double lastInToday = 1;
    if (const Prepared largest = prepare(db.get(), "SELECT max(sort_order) FROM todo_item");
        largest && sqlite3_step(largest.get()) == SQLITE_ROW)
        lastInToday = sqlite3_column_double(largest.get(), 0) + 1;
    const auto bindId = [](sqlite3_stmt *statement, int column) {
        const QByteArray id = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
        sqlite3_bind_text(statement, column, id.constData(), int(id.size()), SQLITE_TRANSIENT);
    };
    for (auto _ : state) {
        if (!runToEnd(begin.get()))
            return skip(state, QString::fromUtf8(sqlite3_errmsg(db.get())));
        bindId(todo.get(), 1);
        sqlite3_bind_text(todo.get(), 2, title.constData(), int(title.size()), SQLITE_STATIC);
        sqlite3_bind_int64(todo.get(), 3, today);
        sqlite3_bind_double(todo.get(), 4, lastInToday);
        sqlite3_bind_int64(todo.get(), 5, now);
        const bool inserted = runToEnd(todo.get());
        const sqlite3_int64 key = sqlite3_last_insert_rowid(db.get());
        bindId(entry.get(), 1);
        sqlite3_bind_int64(entry.get(), 2, now);
        sqlite3_bind_int64(entry.get(), 3, key);
        sqlite3_bind_int64(entry.get(), 4, key);
        if (!inserted || !runToEnd(entry.get()) || !runToEnd(commit.get()))
            return skip(state, QString::fromUtf8(sqlite3_errmsg(db.get())));
        state.PauseTiming();
        sqlite3_bind_int64(remove.get(), 1, key);
        const bool removed = runToEnd(remove.get());
        state.ResumeTiming();
        if (!removed)
            return skip(state, QString::fromUtf8(sqlite3_errmsg(db.get())));
    }
}

// Every save waits for the disk, which other work on the machine shares: with repetitions, the
// fastest one is the steadiest figure.
double fastest(const std::vector<double> &times) {
    return *std::min_element(times.begin(), times.end());
}

void timing(benchmark::internal::Benchmark *benchmark) {
    benchmark->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", fastest);
}

void storeSizes(benchmark::internal::Benchmark *benchmark) {
    benchmark->ArgName("todos")->Arg(1'000)->Arg(100'000)->Apply(timing);
}

} // namespace

BENCHMARK(BM_BareCommit)->Apply(timing);
BENCHMARK(BM_BareTodoCommit)->Apply(storeSizes);
BENCHMARK(BM_Add)->Apply(storeSizes);
BENCHMARK(BM_ToggleRepeating)->Apply(storeSizes);
BENCHMARK(BM_Schedule)->Apply(storeSizes);
BENCHMARK(BM_RemoveAndRestore)->Apply(storeSizes);
BENCHMARK(BM_IdleCheckpoint)->Apply(storeSizes);
BENCHMARK(BM_WidgetRefresh)->Apply(storeSizes);

BENCHMARK_MAIN();
