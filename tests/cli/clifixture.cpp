#include "clifixture.h"

#include <QTimeZone>
#include <QUuid>

using namespace Qt::Literals::StringLiterals;

namespace qb::test {

namespace {

const QByteArray zone = QByteArrayLiteral("America/New_York");

CliRun finished(QProcess &process) {
    process.waitForFinished(120000);
    return {.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            .out = process.readAllStandardOutput(),
            .err = process.readAllStandardError()};
}

} // namespace

::testing::AssertionResult failed(const CliRun &run, int status, const QByteArray &fragment) {
    // One line of the client's; a coverage build's own complaints at exit (under a file-size
    // limit it cannot write its counts) are not the client's.
    const qsizetype lines = run.err.count('\n') - run.err.count("libgcov profiling error");
    if (run.status == status && run.out.isEmpty() && run.err.startsWith("quillbrook-cli: ") &&
        lines == 1 && run.err.contains(fragment))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "status " << run.status << ", output \"" << run.out.left(300).toStdString()
           << "\", error \"" << run.err.left(300).toStdString() << '"';
}

QProcessEnvironment CliClient::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_DATA_HOME"_s, home.filePath(u"data"_s));
    env.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
    env.insert(u"TZ"_s, QString::fromLatin1(zone));
    env.insert(u"LANG"_s, u"en_US.UTF-8"_s);
    // No session bus, so no keyring: tests never reach the user's real one.
    for (const QString &name : {u"LC_ALL"_s, u"LC_TIME"_s, u"DBUS_SESSION_BUS_ADDRESS"_s})
        env.remove(name);
    return env;
}

void CliClient::start(QProcess &process, const QStringList &args) const {
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(QB_CLI_PATH), args);
}

CliRun CliClient::run(const QStringList &args, const QByteArray &input) const {
    QProcess process;
    start(process, args);
    if (!process.waitForStarted())
        return {};
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    return finished(process);
}

CliRun CliClient::shell(const QString &script, const QStringList &args) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(u"/bin/bash"_s, QStringList{u"-c"_s, script, QStringLiteral(QB_CLI_PATH)} + args);
    return finished(process);
}

QJsonValue CliClient::json(const QStringList &args, const QByteArray &input) const {
    const CliRun result = run(QStringList{u"--json"_s} + args, input);
    EXPECT_EQ(result.status, 0) << args.join(u' ').toStdString() << ": "
                                << result.err.toStdString();
    QJsonParseError error;
    // Wrapped so that a bare string or number parses too.
    const QJsonDocument document = QJsonDocument::fromJson("[" + result.out + "]", &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << result.out.left(500).toStdString();
    return document.array().first();
}

QString CliClient::add(const QString &title, const QStringList &options) const {
    return json(QStringList{u"add"_s} + options + QStringList{u"--"_s, title})[u"id"].toString();
}

QStringList CliClient::listed(const QString &list) const {
    return titles(json({u"list"_s, list}).toArray());
}

QString CliClient::writeFile(const QString &name, const QByteArray &bytes) const {
    const QString path = home.filePath(name);
    rewriteFile(path, bytes);
    return path;
}

QString CliClient::writeTodos(const QString &name, int count, const QByteArray &title,
                              const QByteArray &notes, QStringList *ids) const {
    QByteArrayList todos;
    for (int i = 0; i < count; ++i) {
        const QByteArray id = newId();
        todos.append(todoText(id, {}, {}, title, notes));
        if (ids)
            ids->append(QString::fromLatin1(id));
    }
    return writeFile(name, exportFile(todos));
}

QByteArray CliClient::exportText() const {
    const CliRun result = run({u"export"_s});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    return result.out;
}

QString CliClient::startOfToday(int days) {
    const QTimeZone newYork(zone);
    const QDate today = QDateTime::currentDateTimeUtc().toTimeZone(newYork).date();
    return QDateTime(today.addDays(days), QTime(0, 0), newYork).toString(Qt::ISODateWithMs);
}

QByteArray todoText(const QByteArray &id, const QByteArrayList &subtaskIds,
                    const QByteArrayList &changeIds, const QByteArray &title,
                    const QByteArray &notes) {
    QByteArrayList subtasks, changes;
    for (const QByteArray &subtask : subtaskIds)
        subtasks.append(R"({"id": ")" + subtask + R"(", "title": "step", "isCompleted": false,
            "sortOrder": 1, "createdAt": "2020-01-01T00:00:00.000Z"})");
    for (const QByteArray &change : changeIds)
        changes.append(R"({"id": ")" + change + R"(", "kindRaw": "created", "detail": null,
            "timestamp": "2020-01-01T00:00:00.000Z"})");
    return R"({"id": ")" + id + R"(", "title": ")" + title + R"(", "notes": ")" + notes +
           R"(", "isCompleted": false, "completedAt": null, "scheduledDate": null,
        "listRaw": "later", "sortOrder": 1, "createdAt": "2020-01-01T00:00:00.000Z",
        "recurrenceRuleRaw": null, "subtasks": [)" +
           subtasks.join(", ") + R"(], "changes": [)" + changes.join(", ") + "]}";
}

QByteArray exportFile(const QByteArrayList &todos) {
    return R"({"formatVersion": 1, "todos": [)" + todos.join(",\n") + "]}\n";
}

QByteArray newId() {
    return QUuid::createUuid().toByteArray(QUuid::WithoutBraces).toUpper();
}

QStringList titles(const QJsonArray &todos) {
    QStringList result;
    for (const auto &todo : todos)
        result.append(todo[u"title"].toString());
    return result;
}

} // namespace qb::test
