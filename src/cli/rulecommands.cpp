#include "commands.h"
#include "json.h"
#include "model/calendar.h"
#include "model/clock.h"
#include "moments.h"

namespace qb::cli {

Outcome<RecurrenceRule> parseRule(const QString &json) {
    const auto rule = RecurrenceRule::fromJson(json.toUtf8());
    if (!rule)
        return CliError::badInput(
            QStringLiteral("not a repeat rule: %1 (expected an object with \"frequency\", "
                           "\"weekdays\" and \"lastDay\")")
                .arg(json.left(200)));
    return *rule;
}

// Needs no store: the rule and the user's calendar are all there is.
Reply ruleCommand(const Request &request) {
    const QString synopsis = QStringLiteral(
        "rule describe RULE_JSON | rule next RULE_JSON --from DATETIME [--including-start]");
    const auto parsed = parseCommandArguments(request.args, {QStringLiteral("--including-start")},
                                              {QStringLiteral("--from")});
    if (!parsed)
        return parsed.error();
    const CommandArguments &args = parsed.value();
    if (args.operands.size() != 2)
        return usageError(synopsis);
    const QString action = args.operands[0];
    const bool next = action == u"next";
    if ((action != u"describe" && !next) ||
        next != args.values.contains(QStringLiteral("--from")) || (!next && !args.flags.isEmpty()))
        return usageError(synopsis);

    const auto rule = parseRule(args.operands[1]);
    if (!rule)
        return rule.error();
    const Calendar calendar = Calendar::current();
    QString text;
    if (next) {
        const auto from = parseDayOrDateTime(args.values.value(QStringLiteral("--from")),
                                             Clock::system().now(), calendar);
        if (!from)
            return from.error();
        const bool includingStart = args.flags.contains(QStringLiteral("--including-start"));
        text = formatMoment(rule->nextDate(from.value(), includingStart, calendar), calendar);
    } else {
        text = description(rule.value(), calendar);
    }
    return request.json ? Json(text).toText() : textReply(text);
}

} // namespace qb::cli
