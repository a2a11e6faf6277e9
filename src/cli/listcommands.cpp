#include "commands.h"
#include "humantext.h"
#include "idresolver.h"
#include "model/dayhelpers.h"
#include "model/search.h"
#include "model/stockqueries.h"
#include "session.h"
#include "store/modelcontext.h"
#include "todojson.h"

namespace qb::cli {

namespace {

using Sort = TodoSort::Field;

Outcome<QList<TodoItemPtr>> fetch(Session &session, const TodoPredicate &predicate,
                                  const QList<TodoSort> &sort) {
    TodoFetch request;
    request.predicate = predicate;
    request.sort = sort;
    auto items = session.context().fetch(request);
    if (!items)
        return CliError::store(QStringLiteral("cannot read the store: ") + items.message());
    return items.value();
}

QDateTime tomorrow(const Session &session) {
    return startOfNextDay(session.now(), session.calendar());
}

// The rows a list shows and lets the user drag: Today's, or Later's undated ones.
Outcome<QList<TodoItemPtr>> movableRows(Session &session, TodoList list) {
    const QList<TodoSort> manual{{Sort::SortOrder, true}, {Sort::CreatedAt, true}};
    if (list == TodoList::Today)
        return fetch(session, stockqueries::dueBy(tomorrow(session), distantFuture()), manual);
    return fetch(session, stockqueries::undated(), manual);
}

// Later shows the dated to-dos by day first, then the undated ones.
Outcome<QList<TodoItemPtr>> shownRows(Session &session, TodoList list) {
    auto rows = movableRows(session, list);
    if (!rows || list == TodoList::Today)
        return rows;
    auto dated =
        fetch(session, stockqueries::from(tomorrow(session), distantPast()),
              {{Sort::ScheduledDate, true}, {Sort::SortOrder, true}, {Sort::CreatedAt, true}});
    if (!dated)
        return dated.error();
    return dated.value() + rows.value();
}

Outcome<int> offset(const QString &text, int limit, const QString &what) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0 || value > limit)
        return CliError::badInput(QStringLiteral("%1 must be a number from 0 to %2, not \"%3\"")
                                      .arg(what)
                                      .arg(limit)
                                      .arg(text));
    return value;
}

// Code points, not UTF-16 units: what a script in any language counts.
qsizetype codePoints(QStringView text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++count;
    }
    return count;
}

} // namespace

Reply listCommand(const Request &request) {
    const QString synopsis = QStringLiteral("list today | later | done");
    auto args = operands(request.args, 1, 1, synopsis);
    if (!args)
        return args.error();
    Session &session = *request.session;
    const QString which = args->first();
    Outcome<QList<TodoItemPtr>> rows = QList<TodoItemPtr>();
    if (which == u"done")
        rows = fetch(session, TodoPredicate::isCompleted(true), {{Sort::CompletedAt, false}});
    else if (const auto list = todoListFromRaw(which))
        rows = shownRows(session, *list);
    else
        return usageError(synopsis);
    if (!rows)
        return rows.error();
    return todoListReply(request, rows.value());
}

Reply showCommand(const Request &request) {
    auto args = operands(request.args, 1, 1, QStringLiteral("show ID"));
    if (!args)
        return args.error();
    auto item = resolveTodo(request.session->context(), args->first());
    if (!item)
        return item.error();
    const TodoSnapshot todo = TodoSnapshot::of(*item.value());
    if (request.json)
        return todoJson(todo, Relations::DisplayOrder, request.session->calendar()).toText();
    return textReply(showText(todo, request.session->now(), request.session->calendar()));
}

Reply searchCommand(const Request &request) {
    auto args = operands(request.args, 1, -1, QStringLiteral("search QUERY..."));
    if (!args)
        return args.error();
    Session &session = *request.session;
    const QString query = search::trimmedQuery(args->join(u' '));
    auto items = session.context().fetch(search::fetch(query));
    if (!items)
        return CliError::store(QStringLiteral("cannot read the store: ") + items.message());

    Json results = Json::array();
    QByteArray text;
    for (const auto &item : std::as_const(items.value())) {
        const TodoSnapshot todo = TodoSnapshot::of(*item);
        const QString status = search::statusWord(*item, session.now(), session.calendar());
        if (!request.json) {
            text += textReply(todoLine(todo, status));
            continue;
        }
        const QString shown = search::displayTitle(todo.title);
        Json matches = Json::array();
        for (const auto &range :
             search::highlightRanges(shown, query, session.calendar().localeId())) {
            const QStringView view(shown);
            matches.append(
                Json::array({Json(qint64(codePoints(view.left(range.start)))),
                             Json(qint64(codePoints(view.mid(range.start, range.length))))}));
        }
        Json row = todoJson(todo, Relations::None, session.calendar());
        row.set(QStringLiteral("status"), status);
        row.set(QStringLiteral("titleMatches"), std::move(matches));
        results.append(std::move(row));
    }
    return request.json ? results.toText() : text;
}

Reply reorderCommand(const Request &request) {
    const QString synopsis = QStringLiteral("reorder today | later FROM TO");
    auto args = operands(request.args, 3, 3, synopsis);
    if (!args)
        return args.error();
    const auto list = todoListFromRaw(args->at(0));
    if (!list)
        return usageError(synopsis);
    Session &session = *request.session;
    auto rows = movableRows(session, *list);
    if (!rows)
        return rows.error();
    const int count = int(rows->size());
    if (count == 0)
        return CliError::badInput(QStringLiteral("the list has no rows to reorder"));
    const auto from = offset(args->at(1), count - 1, QStringLiteral("FROM"));
    if (!from)
        return from.error();
    const auto to = offset(args->at(2), count, QStringLiteral("TO"));
    if (!to)
        return to.error();
    session.store().reorder(rows.value(), {from.value()}, to.value());
    auto shown = shownRows(session, *list);
    if (!shown)
        return shown.error();
    return todoListReply(request, shown.value());
}

} // namespace qb::cli
