// Sync against a Radicale server on this machine: the first upload of a store of to-dos into an
// empty list, the first download of a list into a fresh store, and one edit's round trip (sent
// by one store, received by the other). Prints wall time, this process's CPU time (all threads)
// and Radicale's, and the longest the main thread went without running its event loop while the
// to-dos arrived.
//
// Radicale checks each new object's UID against every object in the list, so an upload costs it
// time in proportion to the square of the list's size (10,000 to-dos take it about an hour). The
// upload is timed on a smaller store; the list the download and the round trips use is written
// straight into Radicale's folder, from the same text an upload would send.
//
// With --server the same runs go to a CalDAV server already running instead (over plain http
// only to this machine), signed in as --user with the password in QB_SERVER_PASSWORD or on
// the first line of standard input. Each run makes lists of its own there; the M to-dos are
// uploaded rather than seeded, and that upload is timed instead of the smaller one. The
// server's CPU time is that of every process named in --server-processes (with the processes
// they have waited for), 0 without it.
//
//   sync_bench [--upload N] [--todos M] [--round-trips K] [--stores-in-memory]
//              [--server URL --user NAME [--server-processes NAME,...]]

#include "base/singleshottimer.h"
#include "model/stockqueries.h"
#include "radicaleserver.h"
#include "store/livequery.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "store/syncledger.h"
#include "sync/collectionfinder.h"
#include "sync/networktransport.h"
#include "sync/storeside.h"
#include "sync/syncengine.h"
#include "tasks/taskstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>

using namespace qb;
using namespace qb::sync;

namespace {

const Calendar calendar(QStringLiteral("en_US"), QStringLiteral("America/New_York"));

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A process's command name and CPU time in clock ticks, from /proc: its own user and system
// time, and that of the children it has waited for.
struct ProcessTimes {
    QString name;
    qint64 own = 0;
    qint64 children = 0;
};

std::optional<ProcessTimes> processTimes(const QString &pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = stat.readAll();
    const qsizetype open = text.indexOf('('), close = text.lastIndexOf(')');
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    return ProcessTimes{QString::fromUtf8(text.mid(open + 1, close - open - 1)),
                        fields.value(11).toLongLong() + fields.value(12).toLongLong(),
                        fields.value(13).toLongLong() + fields.value(14).toLongLong()};
}

double tickSeconds(qint64 ticks) {
    return double(ticks) / double(sysconf(_SC_CLK_TCK));
}

// User and system time of another process.
double cpuSecondsOf(qint64 pid) {
    const auto times = processTimes(QString::number(pid));
    return times ? tickSeconds(times->own) : 0;
}

// User and system time of every process with one of `names`, and of the children they have
// waited for (a server's exited workers).
double cpuSecondsOfNamed(const QStringList &names) {
    qint64 ticks = 0;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        if (!entry.front().isDigit())
            continue;
        if (const auto times = processTimes(entry); times && names.contains(times->name))
            ticks += times->own + times->children;
    }
    return tickSeconds(ticks);
}

double threadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The longest gap between turns of the event loop, seen by a timer that asks every
// millisecond, and the most CPU time the main thread spent within one gap. On a busy machine
// the first also counts the time the thread waited for a core; the second is our own work.
class PauseMeter {
public:
    PauseMeter() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_sinceLast.restart());
            const double cpu = threadCpuMilliseconds();
            m_busiest = std::max(m_busiest, cpu - m_lastCpu);
            m_lastCpu = cpu;
        });
        m_timer.setTimerType(Qt::PreciseTimer);
    }
    void start() {
        m_longest = 0;
        m_busiest = 0;
        m_sinceLast.start();
        m_lastCpu = threadCpuMilliseconds();
        m_timer.start(1);
    }
    void stop() { m_timer.stop(); }
    qint64 longest() const { return m_longest; }
    double busiest() const { return m_busiest; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceLast;
    qint64 m_longest = 0;
    double m_lastCpu = 0;
    double m_busiest = 0;
};

// Where the stores go: the system's temporary folder, or memory with --stores-in-memory (to
// tell this program's pauses from the disk's).
QString storeRoot = QDir::tempPath();

struct Store {
    QTemporaryDir folder{storeRoot + QStringLiteral("/sync_bench-XXXXXX")};
    std::unique_ptr<ModelContainer> container;
    std::unique_ptr<SyncEngine> engine;

    Store(HttpTransport &transport, const QUrl &collection, const QString &user,
          const QString &password) {
        ModelContainer::Configuration configuration;
        configuration.path = folder.filePath(QStringLiteral("Bench.store"));
        container = std::move(ModelContainer::open(configuration).value());
        SyncLedger(container->mainContext()).bind(collection.toString());
        SyncTiming timing;
        timing.pushDelay = std::chrono::milliseconds(0);
        engine = std::make_unique<SyncEngine>(
            *container, transport, SyncTarget{collection, user, password}, calendar,
            Clock::system(), [] { return std::make_unique<QtSingleShotTimer>(); }, timing);
    }

    // Runs `start` and the event loop until the engine finishes a round.
    bool round(const std::function<void()> &start) {
        bool ok = false;
        QEventLoop loop;
        const auto connection =
            QObject::connect(engine.get(), &SyncEngine::finished, [&](bool succeeded) {
                ok = succeeded;
                loop.quit();
            });
        start();
        loop.exec();
        QObject::disconnect(connection);
        return ok;
    }
};

void fill(ModelContainer &container, int count) {
    ModelContext &context = container.mainContext();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < count; ++i) {
        const QDateTime day = i % 3 == 0 ? calendar.startOfDay(now.addDays(i % 40)) : QDateTime();
        auto item = std::make_shared<TodoItem>(QStringLiteral("To-do number %1").arg(i),
                                               day.isValid() ? TodoList::Today : TodoList::Later,
                                               day, i, now);
        if (i % 4 == 0)
            item->setNotes(QStringLiteral("Some notes for to-do %1,\nover two lines.").arg(i));
        context.insert(item);
        auto created = std::make_shared<ChangeEntry>(ChangeKind::Created, QString(), now);
        context.insert(created);
        item->addChange(created);
        if ((i + 1) % 1000 == 0)
            context.save();
    }
    context.save();
}

// Writes the store's every record into the collection's folder as Radicale keeps it, and
// records it as sent; the entity tags stay unknown until the store next reads the list.
void seed(Store &store, const tools::RadicaleServer &server, const QUrl &collection) {
    ModelContext &context = store.container->mainContext();
    StoreSide side(context, collection.path(), calendar, Clock::system());
    const QString folder = server.folderOf(collection.path());
    QList<PendingChange> pending = side.ledger().pending().value();
    for (qsizetype i = 0; i < pending.size(); ++i) {
        const PushPlan plan = side.plan(pending[i]).value();
        QFile file(folder + plan.path.section(u'/', -1));
        if (file.open(QIODevice::WriteOnly))
            file.write(plan.body);
        side.accepted(plan, QString());
        if ((i + 1) % 1000 == 0 || i + 1 == pending.size())
            side.commit();
    }
}

struct Figures {
    double wall = 0;
    double ours = 0;
    double server = 0;
};

void print(const char *what, int count, const Figures &f) {
    std::printf("%-34s %8.2f s  %7.0f items/s   our CPU %6.2f s (%3.0f%% of wall)   server "
                "CPU %6.2f s\n",
                what, f.wall, count / f.wall, f.ours, 100 * f.ours / f.wall, f.server);
}

double percentile(QList<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[qsizetype(p * double(values.size() - 1))];
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    int uploaded = 1000;
    int todos = 10000;
    int roundTrips = 20;
    QUrl external;
    QString user = QStringLiteral("bench"), password;
    QStringList serverProcesses;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--stores-in-memory"))
            storeRoot = QStringLiteral("/dev/shm");
        if (args[i] == QLatin1String("--upload"))
            uploaded = args.value(i + 1).toInt();
        if (args[i] == QLatin1String("--todos"))
            todos = args.value(i + 1).toInt();
        if (args[i] == QLatin1String("--round-trips"))
            roundTrips = args.value(i + 1).toInt();
        if (args[i] == QLatin1String("--server"))
            external = QUrl(args.value(i + 1));
        if (args[i] == QLatin1String("--user"))
            user = args.value(i + 1);
        if (args[i] == QLatin1String("--server-processes"))
            serverProcesses = args.value(i + 1).split(u',');
    }

    std::optional<tools::RadicaleServer> radicale;
    if (external.isEmpty()) {
        radicale.emplace();
        if (!radicale->isRunning()) {
            std::fprintf(stderr, "%s\n", qPrintable(radicale->failure()));
            return 1;
        }
    } else {
        password = qEnvironmentVariable("QB_SERVER_PASSWORD");
        if (password.isEmpty()) {
            QFile in;
            if (in.open(stdin, QIODevice::ReadOnly))
                password = QString::fromUtf8(in.readLine()).trimmed();
        }
    }
    const auto serverCpu = [&] {
        return radicale ? cpuSecondsOf(radicale->processId()) : cpuSecondsOfNamed(serverProcesses);
    };
    // Lists of this run's own on a server that keeps those of earlier runs.
    const QString suffix =
        radicale ? QString() : QDateTime::currentDateTime().toString(QStringLiteral(" hhmmss"));
    // Radicale answers a listing of 10,000 objects only once it has read them all, which on a
    // busy machine takes longer than the app's stall limit.
    NetworkTransport transport(NetworkTransport::Limits{std::chrono::minutes(10), 256 << 20});
    CollectionFinder finder(transport, user, password);
    const auto makeList = [&](const QString &name) {
        QUrl url;
        QEventLoop loop;
        finder.find(radicale ? radicale->root() : external, name + suffix,
                    [&](const DavResult<FoundCollection> &found) {
                        if (found.error)
                            std::fprintf(stderr, "%s\n", qPrintable(found.error->message));
                        url = found.value.url;
                        loop.quit();
                    });
        loop.exec();
        return url;
    };
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (radicale)
        std::printf("Radicale %s on loopback (storage in memory)\n\n",
                    qPrintable(radicale->root().toString()));
    else
        std::printf("%s as %s\n\n", qPrintable(external.toString()), qPrintable(user));

    const auto measure = [&](Store &store, const char *what, int count, PauseMeter *meter) {
        Figures f;
        const double ours = processCpuSeconds();
        const double theirs = serverCpu();
        QElapsedTimer wall;
        wall.start();
        if (meter)
            meter->start();
        const bool ok = store.round([&] { store.engine->syncNow(); });
        f.wall = double(wall.nsecsElapsed()) / 1e9;
        f.ours = processCpuSeconds() - ours;
        f.server = serverCpu() - theirs;
        if (!ok)
            std::printf("%s failed: %s\n", what, qPrintable(store.engine->status().lastError));
        print(what, count, f);
    };

    if (radicale) {
        Store uploader(transport, makeList(QStringLiteral("Upload")), user, password);
        fill(*uploader.container, uploaded);
        measure(uploader, qPrintable(QStringLiteral("first upload of %1 to-dos").arg(uploaded)),
                uploaded, nullptr);
    }

    const QUrl collection = makeList(QStringLiteral("Bench"));
    if (collection.isEmpty())
        return 1;
    Store sender(transport, collection, user, password);
    fill(*sender.container, todos);
    if (radicale) {
        seed(sender, *radicale, collection);
        measure(sender, qPrintable(QStringLiteral("%1 to-dos read back by their store").arg(todos)),
                todos, nullptr);
    } else {
        measure(sender, qPrintable(QStringLiteral("first upload of %1 to-dos").arg(todos)), todos,
                nullptr);
    }

    // The receiving store has what a window holds open: the first screen of Today and Later,
    // refreshed on every merged change, and the sidebar counts.
    Store receiver(transport, collection, user, password);
    ModelContext &view = receiver.container->mainContext();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    TodoFetch today{
        stockqueries::todayList(now, calendar), {{TodoSort::Field::SortOrder, true}}, 50, 0};
    TodoFetch later{
        stockqueries::laterList(now, calendar), {{TodoSort::Field::SortOrder, true}}, 50, 0};
    LiveQuery todayRows(view, today), laterRows(view, later);
    int counted = 0;
    QObject::connect(&view, &ModelContext::remoteChange, [&] {
        counted = view.count(stockqueries::todayList(now, calendar)).valueOr(0) +
                  view.count(stockqueries::laterList(now, calendar)).valueOr(0);
    });
    PauseMeter meter;
    measure(receiver, qPrintable(QStringLiteral("first download of %1 to-dos").arg(todos)), todos,
            &meter);
    meter.stop();
    std::printf("%-34s %8lld ms wall, of it at most %.0f ms our main thread's CPU (open to-dos "
                "counted: %d)\n\n",
                "longest main-thread pause", meter.longest(), meter.busiest(), counted);

    // One edit: saved in the sender, pushed, then pulled by the receiver.
    TodoFetch first;
    first.limit = 1;
    const TodoItemPtr edited = sender.container->mainContext().fetch(first).value().first();
    QList<double> total, push, pull, cpu, serverShare;
    for (int i = 0; i < roundTrips; ++i) {
        const double theirs = serverCpu();
        const double ours = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        const QString title = QStringLiteral("Edited %1").arg(i);
        sender.round([&] {
            TaskStore(sender.container->mainContext(), TaskEnvironment{}).setTitle(edited, title);
            sender.engine->pushSoon(); // what the app does after each save
        });
        const double pushed = double(wall.nsecsElapsed()) / 1e6;
        receiver.round([&] { receiver.engine->syncNow(); });
        const double all = double(wall.nsecsElapsed()) / 1e6;
        view.checkForRemoteChanges();
        TodoFetch byId;
        byId.predicate = TodoPredicate::idEquals(edited->id());
        if (view.fetch(byId).value().value(0)->title() != title)
            std::printf("round trip %d did not arrive\n", i);
        total.append(all);
        push.append(pushed);
        pull.append(all - pushed);
        cpu.append((processCpuSeconds() - ours) * 1000);
        // Read after ours: reading /proc is this process's work. In clock ticks (10 ms).
        serverShare.append((serverCpu() - theirs) * 1000);
    }
    std::printf("one edit's round trip (%d runs)      median %6.1f ms  p90 %6.1f ms   (push "
                "%5.1f ms, pull %5.1f ms; our CPU %5.1f ms, server CPU %5.1f ms)\n",
                roundTrips, percentile(total, 0.5), percentile(total, 0.9), percentile(push, 0.5),
                percentile(pull, 0.5), percentile(cpu, 0.5), percentile(serverShare, 0.5));
    return 0;
}
