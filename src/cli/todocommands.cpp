#include "commands.h"
#include "humantext.h"
#include "idresolver.h"
#include "moments.h"
#include "session.h"
#include "todojson.h"

namespace qb::cli {

namespace {

// The to-do named by the first operand, with the rest of the operands.
struct Target {
    TodoItemPtr item;
    QStringList rest;
};

Outcome<Target> target(const Request &request, qsizetype minimumRest, qsizetype maximumRest,
                       const QString &synopsis) {
    auto found =
        operands(request.args, 1 + minimumRest, maximumRest < 0 ? -1 : 1 + maximumRest, synopsis);
    if (!found)
        return found.error();
    auto item = resolveTodo(request.session->context(), found.value().first());
    if (!item)
        return item.error();
    return Target{item.value(), found.value().mid(1)};
}

Reply setCompletion(const Request &request, bool completed, const QString &synopsis) {
    auto found = target(request, 0, 0, synopsis);
    if (!found)
        return found.error();
    // Toggling is the only store operation; asking for the current state changes nothing.
    if (found->item->isCompleted() != completed)
        request.session->store().toggleCompletion(found->item);
    return todoReply(request, found->item);
}

} // namespace

Reply addCommand(const Request &request) {
    const QString synopsis = QStringLiteral("add [--today | --later | --date DAY] TITLE...");
    const auto parsed =
        parseCommandArguments(request.args, {QStringLiteral("--today"), QStringLiteral("--later")},
                              {QStringLiteral("--date")});
    if (!parsed)
        return parsed.error();
    const CommandArguments &args = parsed.value();
    const int choices =
        int(args.flags.size()) + int(args.values.contains(QStringLiteral("--date")));
    if (args.operands.isEmpty() || choices > 1)
        return usageError(synopsis);

    const QString title = titleFromWords(args.operands);
    TaskStore store = request.session->store();
    TodoItemPtr item;
    if (args.values.contains(QStringLiteral("--date"))) {
        const auto day = parseDay(args.values.value(QStringLiteral("--date")), true,
                                  request.session->now(), request.session->calendar());
        if (!day)
            return day.error();
        item = store.add(title, day.value());
    } else {
        item = store.add(title, args.flags.contains(QStringLiteral("--later")) ? TodoList::Later
                                                                               : TodoList::Today);
    }
    return todoReply(request, item);
}

Reply renameCommand(const Request &request) {
    auto found = target(request, 1, -1, QStringLiteral("rename ID TITLE..."));
    if (!found)
        return found.error();
    request.session->store().setTitle(found->item, titleFromWords(found->rest));
    return todoReply(request, found->item);
}

Reply notesCommand(const Request &request) {
    auto found = target(request, 1, -1, QStringLiteral("notes ID TEXT... | notes ID -"));
    if (!found)
        return found.error();
    QString notes = found->rest.join(u' ');
    if (found->rest == QStringList{QStringLiteral("-")}) {
        auto input = request.readStandardInput();
        if (!input)
            return input.error();
        notes = input.value();
    }
    request.session->store().setNotes(found->item, notes);
    return todoReply(request, found->item);
}

Reply scheduleCommand(const Request &request) {
    auto found = target(request, 1, 1, QStringLiteral("schedule ID DAY"));
    if (!found)
        return found.error();
    const auto day =
        parseDay(found->rest.first(), true, request.session->now(), request.session->calendar());
    if (!day)
        return day.error();
    request.session->store().schedule(found->item, day.value());
    return todoReply(request, found->item);
}

Reply moveCommand(const Request &request) {
    const QString synopsis = QStringLiteral("move ID today | later");
    if (request.args.size() != 2 || !todoListFromRaw(request.args.last()))
        return usageError(synopsis);
    auto found = target(request, 1, 1, synopsis);
    if (!found)
        return found.error();
    const auto list = todoListFromRaw(found->rest.first());
    request.session->store().move(found->item, *list);
    return todoReply(request, found->item);
}

Reply repeatCommand(const Request &request) {
    auto found = target(request, 1, 1, QStringLiteral("repeat ID RULE_JSON | none"));
    if (!found)
        return found.error();
    std::optional<RecurrenceRule> rule;
    if (found->rest.first() != u"none") {
        auto parsed = parseRule(found->rest.first());
        if (!parsed)
            return parsed.error();
        rule = parsed.value();
    }
    request.session->store().setRepeat(found->item, rule);
    return todoReply(request, found->item);
}

Reply completeCommand(const Request &request) {
    return setCompletion(request, true, QStringLiteral("complete ID"));
}

Reply reopenCommand(const Request &request) {
    return setCompletion(request, false, QStringLiteral("reopen ID"));
}

Reply deleteCommand(const Request &request) {
    auto found = target(request, 0, 0, QStringLiteral("delete ID"));
    if (!found)
        return found.error();
    const auto snapshot = request.session->store().remove(found->item);
    if (!snapshot)
        return CliError::badInput(QStringLiteral("the to-do is no longer in the store"));
    const Calendar &calendar = request.session->calendar();
    if (request.json)
        return todoJson(*snapshot, Relations::DisplayOrder, calendar).toText();
    return textReply(
        QStringLiteral("deleted ") +
        todoLine(*snapshot, scheduledLabel(*snapshot, request.session->now(), calendar)));
}

} // namespace qb::cli
