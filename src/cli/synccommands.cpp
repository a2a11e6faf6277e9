#include "commands.h"
#include "json.h"
#include "session.h"

#include "base/singleshottimer.h"
#include "store/syncledger.h"
#include "sync/collectionfinder.h"
#include "sync/credentialstore.h"
#include "sync/networktransport.h"
#include "sync/syncaccount.h"
#include "sync/syncengine.h"

#include <QEventLoop>
#include <QSettings>

namespace qb::cli {

namespace {

using namespace qb::sync;

const QString loginSynopsis = QStringLiteral("sync login URL USER [--list NAME]");
const QString synopsis = QStringLiteral("sync login URL USER [--list NAME] | sync now | "
                                        "sync status | sync logout");

// Runs `start`, which calls the function it gets once done, and waits for that.
template <typename Start> void wait(Start start) {
    QEventLoop loop;
    bool done = false;
    start([&] {
        done = true;
        loop.quit();
    });
    if (!done)
        loop.exec();
}

// The first line of standard input: the password, never an argument (it would show in `ps`).
Outcome<QString> passwordFromInput(const Request &request) {
    const auto input = request.readStandardInput();
    if (!input)
        return input.error();
    const QString password = input->section(u'\n', 0, 0).remove(u'\r');
    if (password.isEmpty())
        return CliError::badInput(QStringLiteral("no password on standard input"));
    return password;
}

CliError syncError(const QString &message) {
    return {ExitStatus::Sync, message};
}

Reply login(const Request &request, const QStringList &args) {
    const auto parsed = parseCommandArguments(args, {}, {QStringLiteral("--list")});
    if (!parsed)
        return parsed.error();
    if (parsed->operands.size() != 2)
        return usageError(loginSynopsis);
    const QUrl server = QUrl::fromUserInput(parsed->operands[0]);
    const QString user = parsed->operands[1];
    const QString list =
        parsed->values.value(QStringLiteral("--list"), QLatin1String(defaultListName));
    if (!isAllowedServerUrl(server))
        return CliError::badInput(QStringLiteral("the address must start with https:// (plain "
                                                 "http only for this computer)"));
    const auto password = passwordFromInput(request);
    if (!password)
        return password.error();

    NetworkTransport transport;
    CollectionFinder finder(transport, user, *password);
    DavResult<FoundCollection> found;
    wait([&](auto done) {
        finder.find(server, list, [&, done](const DavResult<FoundCollection> &result) {
            found = result;
            done();
        });
    });
    if (found.error)
        return syncError(found.error->message);

    const SyncAccount account{server, user, found.value.url, found.value.displayName};
    QSettings settings;
    account.save(settings);
    if (const Status bound =
            SyncLedger(request.session->context()).bind(account.collection.toString());
        !bound)
        return CliError::store(QStringLiteral("cannot save to the store: ") + bound.message());
    KeyringCredentials keyring;
    QString problem;
    wait([&](auto done) {
        keyring.write(account.keyringKey(), *password, [&, done](const QString &why) {
            problem = why;
            done();
        });
    });

    if (request.json) {
        return Json::object()
            .set(QStringLiteral("collection"), account.collection.toString())
            .set(QStringLiteral("list"), account.listName)
            .set(QStringLiteral("created"), found.value.created)
            .set(QStringLiteral("passwordKept"), problem.isEmpty())
            .toText();
    }
    QString text = QStringLiteral("Signed in as %1; to-dos sync with the list \"%2\"%3 at %4.")
                       .arg(user, account.listName,
                            found.value.created ? QStringLiteral(" (made just now)") : QString(),
                            account.collection.toDisplayString());
    if (!problem.isEmpty())
        text += u'\n' + problem + QStringLiteral(" \"sync now\" reads it from standard input.");
    return textReply(text);
}

struct Summary {
    bool signedIn = false;
    SyncStatus status;
};

Summary summary(Session &session, const SyncAccount &account) {
    SyncLedger ledger(session.context());
    Summary result;
    result.status.lastError = ledger.value(QStringLiteral("lastError")).valueOr({});
    result.status.lastSync = QDateTime::fromString(
        ledger.value(QStringLiteral("lastSync")).valueOr({}), Qt::ISODateWithMs);
    result.status.pending = ledger.pendingCount().valueOr(0);
    result.signedIn = account.isConfigured() && result.status.lastSync.isValid() &&
                      result.status.lastError.isEmpty();
    return result;
}

QString momentText(const QDateTime &moment, const Calendar &calendar) {
    return moment.isValid() ? calendar.format(moment, QStringLiteral("yMMMdjmm")) : QString();
}

Reply status(Request request, const QStringList &args) {
    const auto parsed = parseCommandArguments(args, {QStringLiteral("--json")}, {});
    if (!parsed)
        return parsed.error();
    if (!parsed->operands.isEmpty())
        return usageError(QStringLiteral("sync status [--json]"));
    request.json = request.json || parsed->flags.contains(QStringLiteral("--json"));
    QSettings settings;
    const SyncAccount account = SyncAccount::load(settings);
    const Summary now = summary(*request.session, account);
    if (request.json) {
        Json object = Json::object();
        object.set(QStringLiteral("signedIn"), now.signedIn)
            .set(QStringLiteral("configured"), account.isConfigured())
            .set(QStringLiteral("user"),
                 Json::textOrNull(account.isConfigured() ? account.user : QString()))
            .set(QStringLiteral("list"),
                 Json::textOrNull(account.isConfigured() ? account.listName : QString()))
            .set(QStringLiteral("collection"),
                 Json::textOrNull(account.isConfigured() ? account.collection.toString()
                                                         : QString()))
            .set(QStringLiteral("lastSync"),
                 Json::textOrNull(now.status.lastSync.isValid()
                                      ? now.status.lastSync.toString(Qt::ISODateWithMs)
                                      : QString()))
            .set(
                QStringLiteral("lastError"),
                Json::textOrNull(now.status.lastError.isEmpty() ? QString() : now.status.lastError))
            .set(QStringLiteral("pending"), now.status.pending);
        return object.toText();
    }
    if (!account.isConfigured())
        return textReply(QStringLiteral("Not signed in."));
    const Calendar &calendar = request.session->calendar();
    QStringList lines = {
        now.signedIn ? QStringLiteral("Signed in") : QStringLiteral("Not signed in"),
        QStringLiteral("Account: %1 at %2").arg(account.user, account.server.toDisplayString()),
        QStringLiteral("List: %1 (%2)").arg(account.listName, account.collection.toDisplayString()),
        QStringLiteral("Last sync: %1")
            .arg(now.status.lastSync.isValid() ? momentText(now.status.lastSync, calendar)
                                               : QStringLiteral("never")),
    };
    if (!now.status.lastError.isEmpty())
        lines.append(QStringLiteral("Last error: ") + now.status.lastError);
    lines.append(QStringLiteral("Waiting to be sent: %1").arg(now.status.pending));
    return textReply(lines.join(u'\n'));
}

Reply syncNow(const Request &request) {
    QSettings settings;
    const SyncAccount account = SyncAccount::load(settings);
    if (!account.isConfigured())
        return CliError::badInput(QStringLiteral("not signed in (see \"sync login\")"));
    KeyringCredentials keyring;
    CredentialStore::Answer kept;
    wait([&](auto done) {
        keyring.read(account.keyringKey(), [&, done](const CredentialStore::Answer &answer) {
            kept = answer;
            done();
        });
    });
    QString password = kept.password.value_or(QString());
    if (password.isEmpty()) {
        const auto typed = passwordFromInput(request);
        if (!typed)
            return CliError::badInput(kept.problem + QStringLiteral(" No password on standard "
                                                                    "input either."));
        password = *typed;
    }

    NetworkTransport transport;
    SyncEngine engine(request.session->container(), transport,
                      SyncTarget{account.collection, account.user, password},
                      request.session->calendar(), request.session->environment().clock,
                      [] { return std::make_unique<QtSingleShotTimer>(); });
    bool succeeded = false;
    wait([&](auto done) {
        QObject::connect(&engine, &SyncEngine::finished, [&, done](bool ok) {
            succeeded = ok;
            done();
        });
        engine.syncNow();
    });
    request.session->refreshWidget();
    const SyncStatus status = engine.status();
    if (!succeeded)
        return syncError(status.lastError);
    if (request.json)
        return Json::object()
            .set(QStringLiteral("lastSync"), status.lastSync.toString(Qt::ISODateWithMs))
            .set(QStringLiteral("pending"), status.pending)
            .toText();
    return textReply(QStringLiteral("Synced with \"%1\".").arg(account.listName));
}

Reply logout(const Request &request) {
    QSettings settings;
    const SyncAccount account = SyncAccount::load(settings);
    if (!account.isConfigured())
        return textReply(QStringLiteral("Not signed in."));
    KeyringCredentials keyring;
    wait([&](auto done) { keyring.remove(account.keyringKey(), [done] { done(); }); });
    if (const Status unbound = SyncLedger(request.session->context()).unbind(); !unbound)
        return CliError::store(QStringLiteral("cannot save to the store: ") + unbound.message());
    SyncAccount::clear(settings);
    return textReply(QStringLiteral("Signed out; the to-dos stay in this store."));
}

} // namespace

Reply syncCommand(const Request &request) {
    const QString action = request.args.value(0);
    const QStringList rest = request.args.mid(1);
    if (action == QLatin1String("login"))
        return login(request, rest);
    if (action == QLatin1String("status"))
        return status(request, rest);
    if (!rest.isEmpty())
        return usageError(synopsis);
    if (action == QLatin1String("now"))
        return syncNow(request);
    if (action == QLatin1String("logout"))
        return logout(request);
    return usageError(synopsis);
}

} // namespace qb::cli
