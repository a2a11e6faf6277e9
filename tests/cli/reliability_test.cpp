#include "clifixture.h"

#include <QElapsedTimer>
#include <QHash>
#include <QProcess>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <random>

using namespace qb::test;

namespace {

QString integrityCheck(const QString &path) {
    sqlite3 *raw = nullptr;
    const int opened =
        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3 *)> db(raw, sqlite3_close);
    if (opened != SQLITE_OK)
        return QStringLiteral("cannot open: %1").arg(QString::fromUtf8(sqlite3_errmsg(raw)));
    sqlite3_stmt *raw_statement = nullptr;
    sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &raw_statement, nullptr);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> statement(raw_statement,
                                                                           sqlite3_finalize);
    QString result;
    while (statement && sqlite3_step(raw_statement) == SQLITE_ROW)
        result += QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(raw_statement, 0)));
    return result;
}

// Every to-do of an export, id to completion state.
QHash<QString, bool> exportedStates(const CliClient &client) {
    QHash<QString, bool> states;
    const QByteArray text = client.exportText();
    for (const auto &todo :
         QJsonDocument::fromJson(text).object().value(QStringLiteral("todos")).toArray())
        states.insert(todo.toObject().value(QStringLiteral("id")).toString(),
                      todo.toObject().value(QStringLiteral("isCompleted")).toBool());
    return states;
}

} // namespace

using Reliability = CliFixture;

TEST_F(Reliability, killedClientsNeverDamageTheStoreOrLoseAReportedWrite) {
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(seed); // to replay a failure
    std::mt19937 random(seed);
    QStringList added, completed;
    int kills = 0;
    QElapsedTimer elapsed;
    elapsed.start();
    // Kill moments spread over one and a half uncontested runs, however fast this build is.
    const CliRun first =
        run({QStringLiteral("--json"), QStringLiteral("add"), QStringLiteral("first")});
    ASSERT_EQ(first.status, 0);
    added.append(first.object().value(QStringLiteral("id")).toString());
    const int window = std::max(10, int(elapsed.elapsed() * 3 / 2));
    for (int i = 0; i < 400 && elapsed.elapsed() < 15000; ++i) {
        const bool completing = !added.isEmpty() && random() % 3 == 0;
        const QString target = completing ? added[int(random() % added.size())] : QString();
        const QStringList args =
            completing ? QStringList{QStringLiteral("--json"), QStringLiteral("complete"), target}
                       : QStringList{QStringLiteral("--json"), QStringLiteral("add"),
                                     QStringLiteral("task %1").arg(i)};
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral(QB_CLI_PATH), args);
        ASSERT_TRUE(process.waitForStarted());
        // Anywhere from start-up to the last write; some runs are left to finish.
        if (!process.waitForFinished(int(random() % window))) {
            process.kill(); // SIGKILL
            process.waitForFinished();
            ++kills;
            continue;
        }
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            continue;
        const QString id = QJsonDocument::fromJson(process.readAllStandardOutput())
                               .object()
                               .value(QStringLiteral("id"))
                               .toString();
        (completing ? completed : added).append(id);
    }
    RecordProperty("kills", kills);
    RecordProperty("added", int(added.size()));
    RecordProperty("completed", int(completed.size()));
    ASSERT_GT(kills, 10);
    ASSERT_GT(added.size(), 10);

    EXPECT_EQ(integrityCheck(storePath()), QStringLiteral("ok"));
    const QHash<QString, bool> states = exportedStates(*this);
    for (const QString &id : std::as_const(added))
        EXPECT_TRUE(states.contains(id)) << id.toStdString();
    for (const QString &id : std::as_const(completed))
        EXPECT_TRUE(states.value(id)) << id.toStdString();
}

TEST_F(Reliability, twoClientsWritingAtOnceLoseNoWrite) {
    constexpr int rounds = 15;
    QStringList expected;
    // Both start on a store that does not exist yet, then keep writing side by side.
    for (int round = 0; round < rounds; ++round) {
        QProcess first, second;
        QProcess *clients[] = {&first, &second};
        for (int c = 0; c < 2; ++c) {
            const QString title = QStringLiteral("client %1 round %2").arg(c).arg(round);
            expected.append(title);
            clients[c]->setProcessEnvironment(environment());
            clients[c]->start(QStringLiteral(QB_CLI_PATH),
                              {QStringLiteral("add"),
                               c == 0 ? QStringLiteral("--today") : QStringLiteral("--later"),
                               title});
        }
        for (QProcess *client : clients) {
            ASSERT_TRUE(client->waitForFinished(30000));
            EXPECT_EQ(client->exitCode(), 0) << client->readAllStandardError().toStdString();
        }
    }
    QStringList stored = titles(json({QStringLiteral("list"), QStringLiteral("today")}).toArray()) +
                         titles(json({QStringLiteral("list"), QStringLiteral("later")}).toArray());
    stored.sort();
    expected.sort();
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(integrityCheck(storePath()), QStringLiteral("ok"));
}
