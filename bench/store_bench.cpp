// Store benchmarks over stores of 1,000, 10,000 and 100,000 to-dos shaped like years of use.
// Start-up (open + Today) and the sidebar counts must stay nearly flat as the store grows.

#include "storegenerator.h"

#include "model/search.h"
#include "model/stockqueries.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <utility>

namespace {

using namespace qb;

int storeSize(const benchmark::State &state) {
    return static_cast<int>(state.range(0));
}

void skip(benchmark::State &state, const QString &message) {
    state.SkipWithError(message.toUtf8().constData());
}

// The generated store of the benchmark's size, open; null (and the benchmark skipped) when
// it cannot be made or opened.
std::unique_ptr<ModelContainer> openGeneratedStore(benchmark::State &state) {
    const auto path = bench::cachedStore(storeSize(state));
    if (!path) {
        skip(state, path.message());
        return nullptr;
    }
    auto container = ModelContainer::open(bench::storeConfiguration(path.value()));
    if (!container) {
        skip(state, container.message());
        return nullptr;
    }
    return std::move(container.value());
}

TodoFetch sortedFetch(TodoPredicate predicate, TodoSort::Field field, bool ascending) {
    TodoFetch fetch;
    fetch.predicate = std::move(predicate);
    fetch.sort = {TodoSort{field, ascending}};
    return fetch;
}

TodoFetch todayFetch() {
    return sortedFetch(stockqueries::todayList(bench::referenceNow(), bench::referenceCalendar()),
                       TodoSort::Field::SortOrder, true);
}

TodoFetch laterFetch() {
    return sortedFetch(stockqueries::laterList(bench::referenceNow(), bench::referenceCalendar()),
                       TodoSort::Field::SortOrder, true);
}

// Newest first, like the search results.
TodoFetch searchFetch() {
    return sortedFetch(stockqueries::searchMatch(QString::fromLatin1(bench::searchWord)),
                       TodoSort::Field::CreatedAt, false);
}

// One fetch, kept from the optimiser; false (and the benchmark skipped) when it fails. The
// records are dropped on return.
bool fetchOnce(benchmark::State &state, ModelContext &context, const TodoFetch &fetch,
               qsizetype &rows) {
    auto items = context.fetch(fetch);
    if (!items) {
        skip(state, items.message());
        return false;
    }
    rows = items.value().size();
    benchmark::DoNotOptimize(items.value().constData());
    benchmark::ClobberMemory();
    return true;
}

// Start-up: a fresh container on the file and the Today list, as the window first shows it.
// Only opening and fetching are timed; closing (which checkpoints the log) is not.
void BM_OpenAndFetchToday(benchmark::State &state) {
    const auto path = bench::cachedStore(storeSize(state));
    if (!path) {
        skip(state, path.message());
        return;
    }
    const TodoFetch fetch = todayFetch();
    qsizetype rows = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto container = ModelContainer::open(bench::storeConfiguration(path.value()));
        if (!container) {
            skip(state, container.message());
            break;
        }
        if (!fetchOnce(state, container.value()->mainContext(), fetch, rows))
            break;
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["rows"] = double(rows);
}

// A count on an open store, as the sidebar badges ask for after every save.
void measureCount(benchmark::State &state, const TodoPredicate &predicate) {
    auto container = openGeneratedStore(state);
    if (!container)
        return;
    ModelContext &context = container->mainContext();
    int found = 0;
    for (auto _ : state) {
        const auto count = context.count(predicate);
        if (!count) {
            skip(state, count.message());
            break;
        }
        found = count.value();
        benchmark::DoNotOptimize(found);
    }
    state.counters["count"] = found;
}

void BM_CountToday(benchmark::State &state) {
    measureCount(state, todayFetch().predicate);
}

void BM_CountLater(benchmark::State &state) {
    measureCount(state, laterFetch().predicate);
}

// A fetch on an open store whose results nobody keeps, so every row becomes a new record.
void measureFetch(benchmark::State &state, const TodoFetch &fetch) {
    auto container = openGeneratedStore(state);
    if (!container)
        return;
    ModelContext &context = container->mainContext();
    qsizetype rows = 0;
    for (auto _ : state) {
        if (!fetchOnce(state, context, fetch, rows))
            break;
    }
    state.counters["rows"] = double(rows);
}

void BM_FetchLater(benchmark::State &state) {
    measureFetch(state, laterFetch());
}

void BM_Search(benchmark::State &state) {
    state.SetLabel(bench::searchWord);
    measureFetch(state, searchFetch());
}

// What Quick Find loads per keystroke: the first page (open first, newest first). A word that
// matches nothing makes SQLite look at every to-do; a common one stops after a page.
void BM_QuickFindFirstPage(benchmark::State &state, const char *word) {
    state.SetLabel(word);
    TodoFetch fetch = search::fetch(QString::fromUtf8(word));
    fetch.limit = 101;
    measureFetch(state, fetch);
}

void storeSizes(benchmark::internal::Benchmark *benchmark) {
    benchmark->ArgName("todos")->Arg(1'000)->Arg(10'000)->Arg(100'000);
}

} // namespace

BENCHMARK(BM_OpenAndFetchToday)->Apply(storeSizes)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CountToday)->Apply(storeSizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CountLater)->Apply(storeSizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FetchLater)->Apply(storeSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search)->Apply(storeSizes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickFindFirstPage, rare, "zebra")
    ->Apply(storeSizes)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickFindFirstPage, common, "the")
    ->Apply(storeSizes)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
