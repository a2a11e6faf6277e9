// Whole-process figures of the command-line client: `add` and `list today` against generated
// stores of 1,000 and 100,000 to-dos. The 100,000 figures should stay within 1.5x of the
// 1,000 ones: start-up, the Today query and the widget snapshot must not grow with the store.
//
// The generated stores are dated around a fixed moment, so the client runs under libfaketime
// at that moment in the generator's zone (Debian package "faketime").

#include "storegenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace qb;

const QString fakeTimeLibrary =
    QStringLiteral("/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1");

// A data and config home holding a copy of the generated store of one size.
struct Home {
    QTemporaryDir folder;
    QProcessEnvironment environment;
};

Result<Home *> homeFor(int todoCount) {
    static QHash<int, std::shared_ptr<Home>> homes;
    if (auto found = homes.value(todoCount))
        return found.get();
    const auto generated = bench::cachedStore(todoCount);
    if (!generated)
        return StoreError{generated.message()};
    auto home = std::make_shared<Home>();
    const QString store = home->folder.filePath(QStringLiteral("data/Quillbrook"));
    QDir().mkpath(store);
    QDir().mkpath(home->folder.filePath(QStringLiteral("config")));
    for (const QString &suffix : {QString(), QStringLiteral("-wal")}) {
        if (QFileInfo::exists(generated.value() + suffix) &&
            !QFile::copy(generated.value() + suffix,
                         store + QStringLiteral("/Quillbrook.store") + suffix))
            return StoreError{QStringLiteral("cannot copy the generated store")};
    }
    const QDateTime now = bench::referenceNow().toTimeZone(
        QTimeZone(bench::referenceCalendar().timeZoneId().toUtf8()));
    QProcessEnvironment &env = home->environment;
    env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home->folder.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home->folder.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("TZ"), bench::referenceCalendar().timeZoneId());
    env.insert(QStringLiteral("LANG"),
               bench::referenceCalendar().localeId() + QStringLiteral(".UTF-8"));
    env.insert(QStringLiteral("LD_PRELOAD"), fakeTimeLibrary);
    env.insert(QStringLiteral("FAKETIME"), now.toString(QStringLiteral("'@'yyyy-MM-dd HH:mm:ss")));
    env.insert(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
    homes.insert(todoCount, home);
    return home.get();
}

bool runClient(benchmark::State &state, const Home &home, const QStringList &args) {
    QProcess process;
    process.setProcessEnvironment(home.environment);
    process.start(QStringLiteral(QB_CLI_PATH), args);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        state.SkipWithError(process.readAllStandardError().constData());
        return false;
    }
    benchmark::DoNotOptimize(process.readAllStandardOutput());
    return true;
}

void runBenchmark(benchmark::State &state, const QStringList &args) {
    if (!QFileInfo::exists(fakeTimeLibrary)) {
        state.SkipWithError("libfaketime is not installed (apt-get install faketime)");
        return;
    }
    const auto home = homeFor(int(state.range(0)));
    if (!home) {
        state.SkipWithError(home.message().toUtf8().constData());
        return;
    }
    // The first run of a home does the one-time migration check: not part of the figures.
    if (!runClient(state, *home.value(), {QStringLiteral("list"), QStringLiteral("today")}))
        return;
    for (auto _ : state) {
        if (!runClient(state, *home.value(), args))
            return;
    }
}

void BM_Add(benchmark::State &state) {
    runBenchmark(state, {QStringLiteral("add"), QStringLiteral("Buy"), QStringLiteral("milk")});
}

void BM_ListToday(benchmark::State &state) {
    runBenchmark(state, {QStringLiteral("list"), QStringLiteral("today")});
}

} // namespace

BENCHMARK(BM_Add)->Arg(1000)->Arg(100000)->Iterations(30)->UseRealTime()->Unit(
    benchmark::kMillisecond);
BENCHMARK(BM_ListToday)
    ->Arg(1000)
    ->Arg(100000)
    ->Iterations(30)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
