#include "commands.h"
#include "humantext.h"
#include "idresolver.h"
#include "session.h"
#include "todojson.h"

namespace qb::cli {

namespace {

const QString synopsis =
    QStringLiteral("subtask add ID TITLE... | subtask insert ID AFTER_SUBTASK_ID TITLE... | "
                   "subtask toggle|delete SUBTASK_ID | subtask rename SUBTASK_ID TITLE...");

Reply subtaskReply(const Request &request, const TodoSnapshot::SubtaskSnapshot &subtask) {
    if (request.json)
        return subtaskJson(subtask, request.session->calendar()).toText();
    return textReply(subtaskLine(subtask));
}

// The store takes any title; like the app's detail pane, the client refuses an empty one.
Outcome<QString> subtaskTitle(const QStringList &words) {
    const QString title = titleFromWords(words);
    if (title.trimmed().isEmpty())
        return CliError::badInput(QStringLiteral("a subtask needs a title"));
    return title;
}

Reply add(const Request &request, const QStringList &args, bool afterAnother) {
    const qsizetype named = afterAnother ? 2 : 1;
    if (args.size() <= named)
        return usageError(synopsis);
    Session &session = *request.session;
    auto item = resolveTodo(session.context(), args[0]);
    if (!item)
        return item.error();
    SubtaskPtr after;
    if (afterAnother) {
        auto found = resolveSubtask(session.context(), args[1]);
        if (!found)
            return found.error();
        if (found->owner != item.value())
            return CliError::badInput(
                QStringLiteral("subtask %1 belongs to another to-do").arg(args[1]));
        after = found->subtask;
    }
    const auto title = subtaskTitle(args.mid(named));
    if (!title)
        return title.error();
    const SubtaskPtr subtask =
        afterAnother ? session.store().insertSubtask(title.value(), after, item.value())
                     : session.store().addSubtask(item.value(), title.value());
    return subtaskReply(request, subtaskSnapshot(*subtask));
}

} // namespace

Reply subtaskCommand(const Request &request) {
    auto args = operands(request.args, 2, -1, synopsis);
    if (!args)
        return args.error();
    const QString action = args->takeFirst();
    if (action == u"add")
        return add(request, args.value(), false);
    if (action == u"insert")
        return add(request, args.value(), true);

    const bool takesTitle = action == u"rename";
    if (action != u"toggle" && action != u"delete" && !takesTitle)
        return usageError(synopsis);
    if (takesTitle != (args->size() > 1))
        return usageError(synopsis);
    Session &session = *request.session;
    auto resolved = resolveSubtask(session.context(), args->first());
    if (!resolved)
        return resolved.error();
    const SubtaskPtr subtask = resolved->subtask;
    const auto before = subtaskSnapshot(*subtask);
    if (action == u"toggle") {
        session.store().toggleSubtask(subtask);
    } else if (action == u"delete") {
        session.store().deleteSubtask(subtask);
        return subtaskReply(request, before);
    } else {
        const auto title = subtaskTitle(args->mid(1));
        if (!title)
            return title.error();
        session.store().renameSubtask(subtask, title.value());
    }
    return subtaskReply(request, subtaskSnapshot(*subtask));
}

} // namespace qb::cli
