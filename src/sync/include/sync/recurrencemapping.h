#pragma once

#include "model/recurrencerule.h"

#include <QByteArray>
#include <QDate>

#include <optional>

struct icalrecurrencetype;

namespace qb::sync {

// A remote RRULE as a rule of ours. `exact` is false when ours only approximates it (an
// interval, a count, an end, ordinal weekdays, several month days…): the to-do still repeats
// here, and the remote text must go back untouched as long as the rule is not changed here.
struct MappedRule {
    RecurrenceRule rule;
    bool exact = true;
};

// `anchor` is the to-do's day, which fills in what a rule leaves to its start.
MappedRule ruleFromRecurrence(const icalrecurrencetype &recurrence, const QDate &anchor);

// FREQ=DAILY; FREQ=WEEKLY;BYDAY=…; FREQ=MONTHLY;BYMONTHDAY=n|-1;
// FREQ=YEARLY;BYMONTH=m;BYMONTHDAY=n|-1.
QByteArray recurrenceText(const RecurrenceRule &rule);

// A stored rule (JSON text) as it reads back after a trip through the server, so that two
// sides compare equal when the server holds the same rule: a null text for no rule or an
// unreadable one.
QString canonicalRule(const QString &ruleRaw);

} // namespace qb::sync
