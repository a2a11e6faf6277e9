#include "crashloop.h"

#include "faultvfs.h"
#include "qtprinters.h"
#include "store/modelcontainer.h"
#include "tempstore.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <memory>

namespace qb::test {

namespace {

using Connection = std::unique_ptr<sqlite3, int (*)(sqlite3 *)>;
using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)>;

// Each row's columns joined, read by SQLite directly rather than through the store's code.
QStringList rowsOf(sqlite3 *db, const char *query) {
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, query, -1, &raw, nullptr) != SQLITE_OK)
        return {QStringLiteral("unreadable: ") + QString::fromUtf8(sqlite3_errmsg(db))};
    const Statement statement(raw, sqlite3_finalize);
    QStringList rows;
    while (sqlite3_step(raw) == SQLITE_ROW) {
        QStringList columns;
        for (int i = 0; i < sqlite3_column_count(raw); ++i)
            columns.append(
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(raw, i))));
        rows.append(columns.join(u'|'));
    }
    return rows;
}

QStringList contentsOf(const QString &path) {
    sqlite3 *raw = nullptr;
    const int opened =
        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const Connection db(raw, sqlite3_close);
    if (opened != SQLITE_OK)
        return {QStringLiteral("cannot open: ") + QString::fromUtf8(sqlite3_errmsg(raw))};
    const QStringList check = rowsOf(raw, "PRAGMA quick_check");
    if (check != QStringList{QStringLiteral("ok")})
        return {QStringLiteral("quick_check: ") + check.join(QStringLiteral("; "))};
    // Row keys and ids are random, so rows are compared by what they hold and whom they belong to.
    QStringList rows =
        rowsOf(raw, "SELECT 'todo', title, notes, is_completed, completed_at, scheduled_date, "
                    "list_raw, sort_order, created_at, recurrence_rule_raw FROM todo_item") +
        rowsOf(raw, "SELECT 'subtask', t.title, s.title, s.is_completed, s.sort_order, "
                    "s.created_at, s.position FROM subtask s LEFT JOIN todo_item t ON "
                    "t.pk = s.parent_pk") +
        rowsOf(raw, "SELECT 'change', t.title, c.timestamp, c.kind_raw, c.detail, c.position "
                    "FROM change_entry c LEFT JOIN todo_item t ON t.pk = c.item_pk");
    rows.sort();
    return rows;
}

auto openAt(const QString &path) {
    ModelContainer::Configuration configuration;
    configuration.path = path;
    return ModelContainer::open(configuration);
}

std::unique_ptr<ModelContainer> open(const QString &path) {
    auto container = openAt(path);
    EXPECT_TRUE(container.ok()) << qPrintable(container.message());
    return container ? std::move(container.value()) : nullptr;
}

} // namespace

StoreInspection inspectStore(const QString &path) {
    if (auto container = openAt(path); !container)
        return {QStringLiteral("refused: ") + container.message(), {}};
    QStringList rows = contentsOf(path);
    if (!rows.isEmpty() && (rows.first().startsWith(QStringLiteral("quick_check: ")) ||
                            rows.first().startsWith(QStringLiteral("cannot open: "))))
        return {rows.first(), {}};
    return {QString(), rows};
}

void PrintTo(const StoreInspection &inspection, std::ostream *out) {
    if (!inspection.problem.isEmpty())
        *out << inspection.problem.toStdString();
    else
        PrintTo(inspection.rows, out);
}

int expectEveryCrashRecovers(const std::function<void(const QString &path)> &makeStore,
                             const QList<CrashStep> &steps) {
    // What each step leaves.
    QList<QStringList> states;
    {
        TempFolder folder;
        const QString path = folder.filePath(QStringLiteral("Crash.store"));
        makeStore(path);
        states.append(inspectStore(path).rows);
        auto container = open(path);
        if (!container)
            return 0;
        for (const auto &step : steps) {
            EXPECT_TRUE(step(*container)) << "a step fails even without a fault";
            // The connection stays open: these reads go through connections of their own.
            states.append(contentsOf(path));
        }
        container.reset();
        EXPECT_EQ(inspectStore(path).rows, states.last());
    }

    // Row keys are random, so the number of writes varies a little from one store to the next:
    // the cuts go on until one comes after the last write.
    for (int cut = 1;; ++cut) {
        SCOPED_TRACE(QStringLiteral("power cut at write %1").arg(cut).toStdString());
        TempFolder folder;
        const QString path = folder.filePath(QStringLiteral("Crash.store"));
        makeStore(path);
        auto container = open(path);
        if (!container)
            return cut;
        faultvfs::crashAt(cut, cut % 2 == 0);
        // The step during which the power went (steps.size() if it went while closing).
        qsizetype interrupted = steps.size();
        for (qsizetype i = 0; i < steps.size(); ++i) {
            steps[i](*container);
            if (faultvfs::crashed()) {
                interrupted = i;
                break;
            }
        }
        container.reset();
        const bool crashed = faultvfs::crashed();
        faultvfs::disarm();
        if (!crashed)
            return cut - 1;

        const StoreInspection found = inspectStore(path);
        EXPECT_EQ(found.problem, QString());
        const QStringList &before = states[interrupted];
        const QStringList &after = states[std::min(interrupted + 1, steps.size())];
        EXPECT_TRUE(found.rows == before || found.rows == after)
            << "the store holds neither the state before the interrupted step nor after it";
        if (::testing::Test::HasFailure())
            return cut;
    }
}

} // namespace qb::test
