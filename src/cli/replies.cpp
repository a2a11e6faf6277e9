#include "commands.h"
#include "humantext.h"
#include "session.h"
#include "todojson.h"

namespace qb::cli {

CliError usageError(const QString &synopsis) {
    return CliError::usage(QStringLiteral("usage: quillbrook-cli [--json] ") + synopsis);
}

Outcome<QStringList> operands(const QStringList &args, qsizetype minimum, qsizetype maximum,
                              const QString &synopsis) {
    const auto parsed = parseCommandArguments(args, {}, {});
    if (!parsed)
        return parsed.error();
    const QStringList &found = parsed.value().operands;
    if (found.size() < minimum || (maximum >= 0 && found.size() > maximum))
        return usageError(synopsis);
    return found;
}

QByteArray textReply(const QString &text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    return bytes;
}

Reply todoReply(const Request &request, const TodoItemPtr &item) {
    const TodoSnapshot todo = TodoSnapshot::of(*item);
    const Calendar &calendar = request.session->calendar();
    if (request.json)
        return todoJson(todo, Relations::None, calendar).toText();
    return textReply(todoLine(todo, scheduledLabel(todo, request.session->now(), calendar)));
}

Reply todoListReply(const Request &request, const QList<TodoItemPtr> &items) {
    const Calendar &calendar = request.session->calendar();
    if (request.json) {
        Json list = Json::array();
        for (const auto &item : items)
            list.append(todoJson(TodoSnapshot::of(*item), Relations::None, calendar));
        return list.toText();
    }
    QByteArray text;
    for (const auto &item : items) {
        const TodoSnapshot todo = TodoSnapshot::of(*item);
        text += textReply(todoLine(todo, scheduledLabel(todo, request.session->now(), calendar)));
    }
    return text;
}

} // namespace qb::cli
