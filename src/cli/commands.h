#pragma once

#include "arguments.h"
#include "model/recurrencerule.h"
#include "model/todoitem.h"
#include "outcome.h"

#include <QByteArray>
#include <QStringList>

#include <functional>

namespace qb::cli {

class Output;
class Session;

// What a command gets: its arguments, the output mode, the open store (none for commands that
// need no store), standard input on demand (bounded: the notes limit) and standard output for
// a reply that is streamed rather than returned.
struct Request {
    bool json = false;
    QStringList args;
    QStringList processArguments; // all of them, the program name first
    Session *session = nullptr;
    std::function<Outcome<QString>()> readStandardInput;
    Output *output = nullptr;
};

// Text for standard output.
using Reply = Outcome<QByteArray>;

// To-do commands (todocommands.cpp).
Reply addCommand(const Request &request);
Reply renameCommand(const Request &request);
Reply notesCommand(const Request &request);
Reply scheduleCommand(const Request &request);
Reply moveCommand(const Request &request);
Reply repeatCommand(const Request &request);
Reply completeCommand(const Request &request);
Reply reopenCommand(const Request &request);
Reply deleteCommand(const Request &request);

// Lists and look-ups (listcommands.cpp).
Reply listCommand(const Request &request);
Reply showCommand(const Request &request);
Reply searchCommand(const Request &request);
Reply reorderCommand(const Request &request);

Reply subtaskCommand(const Request &request);
Reply ruleCommand(const Request &request);
Reply exportCommand(const Request &request);
Reply importCommand(const Request &request);
// In quillbrook-cli-sync only, which links the network (synccommands.cpp).
Reply syncCommand(const Request &request);

// Shared by the commands (replies.cpp).
CliError usageError(const QString &synopsis);
// The operands of `args` when there are at least `minimum` and at most `maximum` (-1: any).
Outcome<QStringList> operands(const QStringList &args, qsizetype minimum, qsizetype maximum,
                              const QString &synopsis);
Reply todoReply(const Request &request, const TodoItemPtr &item);
Reply todoListReply(const Request &request, const QList<TodoItemPtr> &items);
QByteArray textReply(const QString &text); // adds the final newline
Outcome<RecurrenceRule> parseRule(const QString &json);

} // namespace qb::cli
