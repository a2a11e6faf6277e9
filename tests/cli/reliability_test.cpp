#include "clifixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <random>

using namespace Qt::Literals::StringLiterals;

using namespace qb::test;

namespace {

// SQLite's own verdict on the store file: "ok" for a sound one.
QString integrityCheck(const CliClient &client) {
    return client.shell(u"sqlite3 \"$1\" 'PRAGMA integrity_check'"_s, {client.storePath()})
        .text()
        .trimmed();
}

} // namespace

using Reliability = CliFixture;

// Clients are killed (SIGKILL) at random moments while adding, completing and importing, with
// the store's log crossing the size at which a commit copies it into the store file, so kills
// land inside those copies too, and another client reads during each import. Every run that is
// not killed succeeds, the first one after a kill included, and every write a run reported is in
// the store.
TEST_F(Reliability, killedClientsNeverLockOutTheNextRunOrLoseAReportedWrite) {
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(seed); // to replay a failure
    std::mt19937 random(seed);
    // Imports of 300 to-dos with 7,000 characters of notes each (kept in the row and in the
    // search index): each fills the log past the 1,000 pages at which the commit itself copies it
    // into the store file.
    constexpr int importSize = 300;
    const QByteArray notes(7000, 'n');
    QStringList added, completed, imported;
    int kills = 0, imports = 0;

    // Kill moments spread over one and a half uncontested runs of each kind, however fast
    // this build is.
    QElapsedTimer elapsed;
    elapsed.start();
    added.append(add(u"first"_s));
    const int addWindow = std::max(10, int(elapsed.restart() * 3 / 2));
    const CliRun firstImport =
        run({u"import"_s, writeTodos(u"first.json"_s, importSize, "imported", notes, &imported)});
    ASSERT_EQ(firstImport.status, 0) << firstImport.err.toStdString();
    const int importWindow = std::max(10, int(elapsed.restart() * 3 / 2));

    // About fifteen seconds; on a busy machine, on until enough runs were killed and finished.
    const auto goOn = [&] {
        return elapsed.elapsed() < 15000 ||
               ((kills <= 10 || added.size() <= 10) && elapsed.elapsed() < 120000);
    };
    bool killedLast = false;
    for (int i = 0; i < 400 && goOn(); ++i) {
        QStringList args{u"--json"_s};
        QStringList ids;
        const bool importing = i % 3 == 0;
        const bool completing = !importing && random() % 3 == 0;
        if (importing)
            args << u"import"_s
                 << writeTodos(u"import.json"_s, importSize, "imported", notes, &ids);
        else if (completing)
            args << u"complete"_s << added[int(random() % added.size())];
        else
            args << u"add"_s << u"task %1"_s.arg(i);
        QProcess process, reader;
        start(process, args);
        ASSERT_TRUE(process.waitForStarted());
        if (importing) // the reader beside each import
            start(reader, {u"list"_s, u"today"_s});
        // Anywhere from start-up to the last write; some runs are left to finish.
        const int window = importing ? importWindow : addWindow;
        const bool finished = process.waitForFinished(int(random() % window));
        if (!finished)
            process.kill();
        if (importing) {
            ASSERT_TRUE(reader.waitForFinished(30000));
            EXPECT_EQ(reader.exitCode(), 0)
                << "reading during an import: " << reader.readAllStandardError().toStdString();
        }
        if (!finished) {
            process.waitForFinished();
            ++kills;
            killedLast = true;
            continue;
        }
        ASSERT_EQ(process.exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(process.exitCode(), 0)
            << (killedLast ? "right after a kill: " : "") << args.join(u' ').toStdString() << ": "
            << process.readAllStandardError().toStdString();
        killedLast = false;
        const QJsonObject reply = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        if (importing) {
            ASSERT_EQ(reply.value(u"imported"_s).toInt(), importSize);
            imported += ids;
            ++imports;
        } else {
            (completing ? completed : added).append(reply.value(u"id"_s).toString());
        }
    }
    RecordProperty("kills", kills);
    RecordProperty("imports", imports);
    ASSERT_GT(kills, 10);
    ASSERT_GT(added.size(), 10);
    // Only copies of the log make the store file itself grow: they happened.
    EXPECT_GT(QFileInfo(storePath()).size(), 4 * 1024 * 1024);

    EXPECT_EQ(integrityCheck(*this), u"ok"_s);
    QHash<QString, bool> states; // id to completion
    for (const auto &todo : QJsonDocument::fromJson(exportText())[u"todos"].toArray())
        states.insert(todo[u"id"].toString(), todo[u"isCompleted"].toBool());
    for (const QString &id : std::as_const(added) + imported)
        EXPECT_TRUE(states.contains(id)) << id.toStdString();
    for (const QString &id : std::as_const(completed))
        EXPECT_TRUE(states.value(id)) << id.toStdString();
}

TEST_F(Reliability, twoClientsWritingAtOnceLoseNoWrite) {
    QStringList expected;
    // Both start on a store that does not exist yet, then keep writing side by side.
    for (int round = 0; round < 15; ++round) {
        const QStringList titles{u"today %1"_s.arg(round), u"later %1"_s.arg(round)};
        const CliRun both =
            shell(u"\"$0\" add --today \"$1\" & \"$0\" add --later \"$2\" && wait $!"_s, titles);
        ASSERT_EQ(both.status, 0) << both.err.toStdString();
        expected += titles;
    }
    QStringList stored = listed(u"today"_s) + listed(u"later"_s);
    stored.sort();
    expected.sort();
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(integrityCheck(*this), u"ok"_s);
}
