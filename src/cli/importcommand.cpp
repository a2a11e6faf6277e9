#include "commands.h"
#include "exportreader.h"
#include "idledger.h"
#include "input.h"
#include "json.h"
#include "session.h"
#include "store/bulktransfer.h"

namespace qb::cli {

// Adds the to-dos of an export, skipping those already stored, in one transaction: each is
// inserted as soon as it is read, and the whole file is refused, with nothing changed, at its
// first problem.
Reply importCommand(const Request &request) {
    auto args = operands(request.args, 1, 1, QStringLiteral("import FILE"));
    if (!args)
        return args.error();
    auto input = Input::open(args->first(), limits::importBytes, QStringLiteral("an import"));
    if (!input)
        return input.error();
    Session &session = *request.session;
    auto insert = BulkInsert::begin(session.context());
    if (!insert)
        return CliError::store(QStringLiteral("cannot write to the store: ") + insert.message());

    IdLedger ids;
    qint64 imported = 0;
    qint64 skipped = 0;
    ExportReader reader(session.calendar());
    const auto error = reader.read(
        *input.value(), [&](TodoSnapshot &&todo, qsizetype index) -> std::optional<CliError> {
            const auto stored = insert.value()->hasTodo(todo.id);
            if (!stored)
                return CliError::store(QStringLiteral("cannot read the store: ") +
                                       stored.message());
            ids.add(todo, index, !stored.value());
            if (stored.value()) {
                ++skipped;
                return std::nullopt;
            }
            if (const Status status = insert.value()->insert(todo); !status)
                return CliError::store(QStringLiteral("cannot save to the store: ") +
                                       status.message());
            ++imported;
            return std::nullopt;
        });
    if (error)
        return *error;
    if (auto duplicate = ids.firstDuplicate(*insert.value()))
        return *duplicate;
    // Nothing new leaves the store as it was: the insert rolls back when dropped.
    if (imported > 0) {
        if (auto failed = session.commit(*insert.value()))
            return *failed;
    }

    if (!request.json)
        return textReply(QStringLiteral("imported %1, skipped %2").arg(imported).arg(skipped));
    Json counts = Json::object();
    counts.set(QStringLiteral("imported"), imported);
    counts.set(QStringLiteral("skipped"), skipped);
    return counts.toText();
}

} // namespace qb::cli
