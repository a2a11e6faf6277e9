#include "commands.h"
#include "session.h"
#include "store/modelcontext.h"
#include "todojson.h"

#include <algorithm>

namespace qb::cli {

// The whole store as JSON, in an order that depends on the records alone, so an export of an
// import of an export reads the same.
Reply exportCommand(const Request &request) {
    if (auto args = operands(request.args, 0, 0, QStringLiteral("export")); !args)
        return args.error();
    Session &session = *request.session;
    TodoFetch all;
    all.sort = {{TodoSort::Field::CreatedAt, true}};
    auto items = session.context().fetch(all);
    if (!items)
        return CliError::store(QStringLiteral("cannot read the store: ") + items.message());

    QList<TodoSnapshot> todos;
    todos.reserve(items.value().size());
    for (const auto &item : std::as_const(items.value()))
        todos.append(TodoSnapshot::of(*item));
    std::stable_sort(todos.begin(), todos.end(), [](const auto &a, const auto &b) {
        if (a.createdAt != b.createdAt)
            return a.createdAt < b.createdAt;
        return idText(a.id) < idText(b.id);
    });

    Json list = Json::array();
    for (const auto &todo : std::as_const(todos))
        list.append(todoJson(todo, Relations::ExportOrder, session.calendar()));
    Json document = Json::object();
    document.set(QStringLiteral("formatVersion"), 1);
    document.set(QStringLiteral("todos"), std::move(list));
    return document.toText();
}

} // namespace qb::cli
