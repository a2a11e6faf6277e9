#include "commands.h"
#include "output.h"
#include "session.h"
#include "store/bulktransfer.h"
#include "todojson.h"

namespace qb::cli {

// The whole store as JSON, in an order that depends on the records alone, so an export of an
// import of an export reads the same. Each to-do is written as it is read: the document is
// what Json would make of it whole, without ever holding it.
Reply exportCommand(const Request &request) {
    if (auto args = operands(request.args, 0, 0, QStringLiteral("export")); !args)
        return args.error();
    Session &session = *request.session;
    Output &output = *request.output;
    output.write("{\n  \"formatVersion\": 1,\n  \"todos\": [");
    bool first = true;
    const Status read = readEveryTodo(session.context(), [&](TodoSnapshot &&todo) {
        QByteArray text = first ? "\n    " : ",\n    ";
        first = false;
        todoJson(todo, Relations::ExportOrder, session.calendar()).appendTo(text, 2);
        return output.write(text);
    });
    if (!read)
        return CliError::store(QStringLiteral("cannot read the store: ") + read.message());
    output.write(first ? "]\n}\n" : "\n  ]\n}\n");
    return QByteArray();
}

} // namespace qb::cli
