#include "run.h"

#include "commands.h"
#include "session.h"

#include <QFile>
#include <QHash>

#include <cstdio>

namespace qb::cli {

namespace {

struct Command {
    Reply (*function)(const Request &);
    bool needsStore = true;
};

const QHash<QString, Command> &commandTable() {
    static const QHash<QString, Command> table{
        {QStringLiteral("add"), {addCommand}},
        {QStringLiteral("list"), {listCommand}},
        {QStringLiteral("show"), {showCommand}},
        {QStringLiteral("rename"), {renameCommand}},
        {QStringLiteral("notes"), {notesCommand}},
        {QStringLiteral("schedule"), {scheduleCommand}},
        {QStringLiteral("move"), {moveCommand}},
        {QStringLiteral("repeat"), {repeatCommand}},
        {QStringLiteral("complete"), {completeCommand}},
        {QStringLiteral("reopen"), {reopenCommand}},
        {QStringLiteral("delete"), {deleteCommand}},
        {QStringLiteral("reorder"), {reorderCommand}},
        {QStringLiteral("subtask"), {subtaskCommand}},
        {QStringLiteral("search"), {searchCommand}},
        {QStringLiteral("rule"), {ruleCommand, false}},
        {QStringLiteral("export"), {exportCommand}},
        {QStringLiteral("import"), {importCommand}},
        {QStringLiteral("sync"), {syncCommand}},
    };
    return table;
}

const char helpText[] = R"(usage: quillbrook-cli [--json] COMMAND [ARGS]

  add [--today | --later | --date DAY] TITLE...   add a to-do (Today by default)
  list today | later | done                        a list in display order
  show ID                                          a to-do with subtasks and change log
  rename ID TITLE...          notes ID TEXT... | notes ID -   (- reads standard input)
  schedule ID DAY             move ID today | later           repeat ID RULE_JSON | none
  complete ID                 reopen ID                       delete ID
  reorder today | later FROM TO                    move the row at FROM before row TO
  subtask add ID TITLE...     subtask insert ID AFTER_SUBTASK_ID TITLE...
  subtask toggle SUBTASK_ID   subtask rename SUBTASK_ID TITLE...   subtask delete SUBTASK_ID
  search QUERY...                                  title or notes, open to-dos first
  rule describe RULE_JSON     rule next RULE_JSON --from DATETIME [--including-start]
  export                      import FILE          the whole store as JSON, and back
  sync login URL USER [--list NAME]   sign in to a CalDAV server or list (password on stdin)
  sync now                    sync status [--json]            sync logout

ID: a full id or a unique prefix of at least 4 characters.
DAY: YYYY-MM-DD, today, tomorrow, or none where a date may be absent.
DATETIME: a DAY or an ISO 8601 date-time (local time when it has no offset).
RULE_JSON: {"frequency":"weekly","weekdays":[1,3,5],"lastDay":false}
--json prints one JSON value. Exit status: 0 success, 1 bad input or no such record,
2 usage, 3 the store cannot be opened or written, 4 the sync server failed or refused.
)";

void write(std::FILE *stream, const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

int fail(const CliError &error) {
    // One line, whatever the message holds.
    QString message = error.message;
    message.replace(u'\n', u' ');
    write(stderr, (QStringLiteral("quillbrook-cli: ") + message + u'\n').toUtf8());
    return int(error.status);
}

Outcome<QString> readStandardInput() {
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return CliError::badInput(QStringLiteral("cannot read standard input"));
    const QByteArray bytes = input.readAll();
    // Invalid bytes would come back as replacement characters.
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes)
        return CliError::badInput(QStringLiteral("standard input is not valid UTF-8 text"));
    return text;
}

} // namespace

int run(const QStringList &arguments) {
    auto invocation = parseInvocation(arguments);
    if (!invocation)
        return fail(invocation.error());
    if (invocation->help) {
        write(stdout, helpText);
        return 0;
    }
    if (invocation->version) {
        write(stdout, QByteArrayLiteral("quillbrook-cli " QB_VERSION "\n"));
        return 0;
    }
    const auto command = commandTable().constFind(invocation->command);
    if (command == commandTable().cend())
        return fail(CliError::usage(
            QStringLiteral("unknown command \"%1\" (try --help)").arg(invocation->command)));

    std::unique_ptr<Session> session;
    if (command->needsStore) {
        auto opened = Session::open(invocation->processArguments);
        if (!opened)
            return fail(opened.error());
        session = std::move(opened.value());
    }
    const Request request{invocation->json, invocation->args, session.get(), readStandardInput};
    const Reply reply = command->function(request);
    if (!reply)
        return fail(reply.error());
    // Success is only reported for changes that are on disk.
    if (session) {
        if (auto error = session->commit())
            return fail(*error);
    }
    write(stdout, reply.value());
    return 0;
}

} // namespace qb::cli
