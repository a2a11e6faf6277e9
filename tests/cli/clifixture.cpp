#include "clifixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTimeZone>

namespace qb::test {

namespace {

const QByteArray zone = QByteArrayLiteral("America/New_York");

QString formatted(const QDateTime &local) {
    const int offset = local.offsetFromUtc();
    return local.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")) +
           QStringLiteral("%1%2:00")
               .arg(QChar(offset < 0 ? u'-' : u'+'))
               .arg(std::abs(offset) / 3600, 2, 10, QLatin1Char('0'));
}

} // namespace

QJsonValue CliRun::json() const {
    QJsonParseError error;
    // Wrapped so that a bare string or number parses too.
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArrayLiteral("[") + out + QByteArrayLiteral("]"), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << out.left(500).toStdString();
    return document.array().first();
}

CliClient::CliClient() {
    QDir().mkpath(home.filePath(QStringLiteral("data")));
    QDir().mkpath(home.filePath(QStringLiteral("config")));
}

QProcessEnvironment CliClient::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("TZ"), QString::fromLatin1(zone));
    env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
    env.remove(QStringLiteral("LC_ALL"));
    // No session bus, so no keyring: tests never reach the user's real one.
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    env.remove(QStringLiteral("LC_TIME"));
    return env;
}

namespace {

CliRun finished(QProcess &process) {
    process.waitForFinished(60000);
    CliRun result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

} // namespace

CliRun CliClient::run(const QStringList &args, const QByteArray &input) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(QB_CLI_PATH), args);
    if (!process.waitForStarted())
        return {};
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    return finished(process);
}

CliRun CliClient::runReading(const QStringList &args, const QString &inputFile) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.setStandardInputFile(inputFile);
    process.start(QStringLiteral(QB_CLI_PATH), args);
    return finished(process);
}

QJsonValue CliClient::json(const QStringList &args, const QByteArray &input) const {
    const CliRun result = run(QStringList{QStringLiteral("--json")} + args, input);
    EXPECT_EQ(result.status, 0) << args.join(u' ').toStdString() << ": "
                                << result.err.toStdString();
    return result.json();
}

QString CliClient::add(const QString &title, const QStringList &options) const {
    return json(QStringList{QStringLiteral("add")} + options +
                QStringList{QStringLiteral("--"), title})
        .toObject()
        .value(QStringLiteral("id"))
        .toString();
}

QString CliClient::writeFile(const QString &name, const QByteArray &bytes) const {
    const QString path = home.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QByteArray CliClient::exportText() const {
    const CliRun result = run({QStringLiteral("export")});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    return result.out;
}

QString CliClient::startOfToday() {
    const QTimeZone newYork(zone);
    const QDate today = QDateTime::currentDateTimeUtc().toTimeZone(newYork).date();
    return formatted(QDateTime(today, QTime(0, 0), newYork));
}

QString CliClient::startOfTomorrow() {
    const QTimeZone newYork(zone);
    const QDate today = QDateTime::currentDateTimeUtc().toTimeZone(newYork).date();
    return formatted(QDateTime(today.addDays(1), QTime(0, 0), newYork));
}

QStringList titles(const QJsonArray &todos) {
    QStringList result;
    for (const auto &todo : todos)
        result.append(todo.toObject().value(QStringLiteral("title")).toString());
    return result;
}

QStringList ids(const QJsonArray &todos) {
    QStringList result;
    for (const auto &todo : todos)
        result.append(todo.toObject().value(QStringLiteral("id")).toString());
    return result;
}

} // namespace qb::test
