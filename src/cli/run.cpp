#include "run.h"

#include "commands.h"
#include "humantext.h"
#include "input.h"
#include "moments.h"
#include "output.h"
#include "session.h"

#include <QCoreApplication>
#include <QHash>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>

#ifdef QB_COVERAGE
extern "C" void __gcov_dump();
#endif

namespace qb::cli {

namespace {

// Ends the process at once, without exit()'s teardown. A coverage build first writes its
// counts, which exit() would have written.
[[noreturn]] void endProcess(int status) {
#ifdef QB_COVERAGE
    __gcov_dump();
#endif
    std::_Exit(status);
}

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
    };
    return table;
}

QByteArray helpText() {
    return QStringLiteral(R"(usage: quillbrook-cli [--json] COMMAND [ARGS]

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
  export                      import FILE | import -   the whole store as JSON, and back
  sync login URL USER [--list NAME]   sign in to a CalDAV server or list (password on stdin)
  sync now                    sync status [--json]            sync logout

ID: a full id or a unique prefix of at least 4 characters.
DAY: YYYY-MM-DD, today, tomorrow, or none where a date may be absent; years %1.
DATETIME: a DAY or an ISO 8601 date-time (local time when it has no offset).
RULE_JSON: {"frequency":"weekly","weekdays":[1,3,5],"lastDay":false}
Limits: notes from standard input %2; an import file %3, each text in it %4, each to-do
with its subtasks and log %5. Import refuses a file that gives an id twice.
--json prints one JSON value. Exit status: 0 success, 1 bad input, no such record or output
that cannot be written, 2 usage, 3 the store cannot be opened or written, 4 the sync server failed or refused.
)")
        .arg(yearRangeText(), sizeText(limits::notesBytes), sizeText(limits::importBytes),
             sizeText(limits::importTextBytes), sizeText(limits::importTodoBytes))
        .toUtf8();
}

int fail(const CliError &error) {
    // One line, whatever the message holds, and none of the terminal control sequences that
    // user text in it may carry.
    QString message = error.message;
    message.replace(u'\n', u' ');
    const QByteArray line =
        (QStringLiteral("quillbrook-cli: ") + visible(message) + u'\n').toUtf8();
    // Nothing is left to report a failed error line to.
    (void)std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
    std::fflush(stderr);
    return int(error.status);
}

// Whatever standard output had to take: a reply that did not get out is a failure.
int finish(Output &output, QByteArrayView reply) {
    output.write(reply);
    if (auto error = output.finish())
        return fail(*error);
    return 0;
}

Outcome<QString> readStandardInput() {
    auto input = Input::open(QStringLiteral("-"), limits::notesBytes, QStringLiteral("notes"));
    if (!input)
        return input.error();
    const auto read = input.value()->readAll();
    if (!read)
        return read.error();
    const QByteArray &bytes = read.value();
    // Invalid bytes would come back as replacement characters.
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes)
        return CliError::badInput(QStringLiteral("standard input is not valid UTF-8 text"));
    return text;
}

} // namespace

int run(const QStringList &arguments, Command sync) {
    auto invocation = parseInvocation(arguments);
    if (!invocation)
        return fail(invocation.error());
    Output output(stdout);
    if (invocation->help)
        return finish(output, helpText());
    if (invocation->version)
        return finish(output, "quillbrook-cli " QB_VERSION "\n");
    const Command *command = &sync;
    if (invocation->command != u"sync") {
        const auto found = commandTable().constFind(invocation->command);
        if (found == commandTable().cend())
            return fail(CliError::usage(
                QStringLiteral("unknown command \"%1\" (try --help)").arg(invocation->command)));
        command = &found.value();
    }

    std::unique_ptr<Session> session;
    if (command->needsStore) {
        auto opened = Session::open(invocation->processArguments);
        if (!opened)
            return fail(opened.error());
        session = std::move(opened.value());
    }
    const Request request{invocation->json, invocation->args,  invocation->processArguments,
                          session.get(),    readStandardInput, &output};
    const Reply reply = command->function(request);
    if (!reply)
        return fail(output.finish().value_or(reply.error()));
    // Success is only reported for changes that are on disk.
    if (session) {
        if (auto error = session->commit())
            return fail(*error);
    }
    return finish(output, reply.value());
}

void runProcess(int argc, char *argv[], Command sync, EventLoop loop) {
    // Arguments are text: bytes that are not UTF-8 would be stored as replacement characters,
    // so they are refused before anything is opened.
    QStringList arguments{QString::fromUtf8(argv[0])};
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        arguments.append(QString::fromUtf8(bytes));
        if (arguments.last().toUtf8() != bytes) {
            std::fprintf(stderr, "quillbrook-cli: argument %d is not valid UTF-8 text\n", i);
            endProcess(1);
        }
    }
    int status = 0;
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Quillbrook"));
        QCoreApplication::setApplicationName(QStringLiteral("Quillbrook"));
        QCoreApplication::setApplicationVersion(QStringLiteral(QB_VERSION));
        std::optional<QCoreApplication> app;
        if (loop == EventLoop::Used) {
            app.emplace(argc, argv);
        } else {
            // What the application object would have set up for the C library: messages and
            // character handling in the user's locale.
            std::setlocale(LC_ALL, "");
        }
        status = run(arguments, sync);
    }
    // By now the store is closed, the preferences are written and both output streams were
    // flushed, with a failed flush already turned into the status. What exit() would still do
    // is tear down the libraries' static data and the memory the system takes back anyway:
    // over a millisecond of every run.
    std::fflush(nullptr);
    endProcess(status);
}

} // namespace qb::cli
