#pragma once

#include "datafiles.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

// Readable failure messages for the client's JSON.
inline void PrintTo(const QJsonValue &value, std::ostream *out) {
    *out << QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).toStdString();
}

namespace qb::test {

// What one run of the client left behind.
struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;

    QString text() const { return QString::fromUtf8(out); }
};

// Whether a run failed with `status`, one line on standard error that names `fragment`, and
// nothing on standard output.
::testing::AssertionResult failed(const CliRun &run, int status, const QByteArray &fragment = {});

// Runs the client with a private data and config home, a fixed zone (New York) and locale.
class CliClient {
public:
    QProcessEnvironment environment() const;
    // Starts the client in `process`, for runs a test waits for or kills itself.
    void start(QProcess &process, const QStringList &args) const;
    CliRun run(const QStringList &args, const QByteArray &input = {}) const;
    // A bash script run with this client's environment, the client's path as $0 and `args` as
    // $1…: for redirections, limits and bytes QProcess cannot pass.
    CliRun shell(const QString &script, const QStringList &args = {}) const;
    // Runs with --json and expects success.
    QJsonValue json(const QStringList &args, const QByteArray &input = {}) const;
    // Adds a to-do and returns its id.
    QString add(const QString &title, const QStringList &options = {}) const;
    // The titles "list LIST" shows.
    QStringList listed(const QString &list) const;

    QString dataFolder() const { return home.filePath(QStringLiteral("data/Quillbrook")); }
    QString storePath() const { return dataFolder() + QStringLiteral("/Quillbrook.store"); }
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    // Writes an export file of `count` new to-dos with the given title and notes, adds their ids
    // to `ids`, and returns its path.
    QString writeTodos(const QString &name, int count, const QByteArray &title,
                       const QByteArray &notes = {}, QStringList *ids = nullptr) const;
    QByteArray exportText() const;
    // "2026-12-06T00:00:00.000-05:00" of the current day, or `days` after it, as the client
    // formats it.
    static QString startOfToday(int days = 0);
    // A rule every client command accepts.
    static inline const QString dailyRule =
        QStringLiteral(R"({"frequency":"daily","weekdays":[],"lastDay":false})");

    QTemporaryDir home;
};

class CliFixture : public ::testing::Test, public CliClient {};

// One to-do of an export file with the given ids, title and notes, its other fields plain.
QByteArray todoText(const QByteArray &id, const QByteArrayList &subtaskIds = {},
                    const QByteArrayList &changeIds = {}, const QByteArray &title = "ok",
                    const QByteArray &notes = {});
QByteArray exportFile(const QByteArrayList &todos);
// A new id, written as the client writes ids.
QByteArray newId();

QStringList titles(const QJsonArray &todos);

} // namespace qb::test
