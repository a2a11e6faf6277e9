#include "model/changeentry.h"
#include "model/changekind.h"
#include "model/subtask.h"
#include "model/todoitem.h"
#include "model/todolist.h"

#include "modeltest.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace qb {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::utc;

const QDateTime created = utc(2026, 1, 5, 9, 0);

TodoItemPtr makeTodo(const QString &title = u"Buy milk"_s) {
    return std::make_shared<TodoItem>(title, TodoList::Today, utc(2026, 1, 5), 1.0, created);
}
SubtaskPtr makeSubtask(const QString &title, double sortOrder) {
    return std::make_shared<Subtask>(title, sortOrder, created);
}
ChangeEntryPtr makeEntry(ChangeKind kind, const QDateTime &timestamp) {
    return std::make_shared<ChangeEntry>(kind, QString(), timestamp);
}

QStringList titles(const QList<SubtaskPtr> &subtasks) {
    QStringList result;
    for (const auto &subtask : subtasks)
        result.append(subtask->title());
    return result;
}

// Derived values -----------------------------------------------------------------------------

TEST(TodoItemDerived, orderedSubtasksSortAscendingAndKeepStoredOrderOnTies) {
    const auto item = makeTodo();
    for (const auto &[title, order] :
         {std::pair{u"c"_s, 2.0}, std::pair{u"b1"_s, 1.0}, std::pair{u"b2"_s, 1.0},
          std::pair{u"a"_s, -0.5}, std::pair{u"b3"_s, 1.0}, std::pair{u"d"_s, 2.5}})
        item->addSubtask(makeSubtask(title, order));
    EXPECT_EQ(titles(item->orderedSubtasks()), QStringList({"a", "b1", "b2", "b3", "c", "d"}));
    // The stored collection itself keeps insertion order.
    EXPECT_EQ(titles(item->subtasks()), QStringList({"c", "b1", "b2", "a", "b3", "d"}));
}

TEST(TodoItemDerived, orderedChangesAreNewestFirstAndKeepStoredOrderOnTies) {
    const auto item = makeTodo();
    const auto oldest = makeEntry(ChangeKind::Created, utc(2026, 1, 1));
    const auto tieFirst = makeEntry(ChangeKind::TitleEdited, utc(2026, 1, 3));
    const auto newest = makeEntry(ChangeKind::Completed, utc(2026, 1, 4));
    const auto tieSecond = makeEntry(ChangeKind::NotesEdited, utc(2026, 1, 3));
    for (const auto &entry : {oldest, tieFirst, newest, tieSecond})
        item->addChange(entry);
    EXPECT_EQ(item->orderedChanges(), (QList<ChangeEntryPtr>{newest, tieFirst, tieSecond, oldest}));
}

TEST(TodoItemDerived, hasNotesIgnoresWhitespaceAndNewlines) {
    const auto item = makeTodo();
    const std::pair<QString, bool> cases[] = {
        {u""_s, false},        {u"   "_s, false}, {u"\n\t \r\n"_s, false},
        {u"\u00a0 "_s, false}, {u"x"_s, true},    {u"\n  milk \n"_s, true},
    };
    for (const auto &[notes, expected] : cases) {
        item->setNotes(notes);
        EXPECT_EQ(item->hasNotes(), expected) << notes.toStdString();
    }
}

// Recurrence rule accessor -------------------------------------------------------------------

// Unreadable stored text reads as no rule and stays stored as it was.
TEST(TodoItemRecurrenceRule, writesTheRuleAsTextReadsUnreadableTextAsNoneAndClears) {
    const auto item = makeTodo();
    RecurrenceRule rule;
    rule.frequency = RecurrenceRule::Frequency::Weekly;
    rule.weekdays = {1, 3, 5};

    item->setRecurrenceRule(rule);
    EXPECT_EQ(item->recurrenceRuleRaw(), QString::fromUtf8(rule.toJson()));
    EXPECT_EQ(item->recurrenceRule(), rule);
    EXPECT_TRUE(item->isRepeating());

    const QString unreadable = uR"({"frequency":"hourly","weekdays":[],"lastDay":false})"_s;
    item->setRecurrenceRuleRaw(unreadable);
    EXPECT_EQ(item->recurrenceRule(), std::nullopt);
    EXPECT_FALSE(item->isRepeating());
    EXPECT_EQ(item->recurrenceRuleRaw(), unreadable);

    item->setRecurrenceRule(std::nullopt);
    EXPECT_TRUE(item->recurrenceRuleRaw().isNull());
    EXPECT_FALSE(item->isRepeating());
}

// Change kinds -------------------------------------------------------------------------------

// The raw strings are what the store keeps: each kind must read back as itself.
TEST(ChangeKind, everyKindReadsBackFromItsOwnRawString) {
    QStringList raws;
    for (int k = 0; k <= int(ChangeKind::RepeatCleared); ++k) {
        const auto kind = ChangeKind(k);
        EXPECT_EQ(changeKindFromRaw(rawValue(kind)), kind) << k;
        EXPECT_FALSE(raws.contains(rawValue(kind))) << k;
        raws.append(rawValue(kind));
    }
}

TEST(ChangeKindFallback, unknownOrEmptyRawShowsAsCreatedButStaysStored) {
    for (const QString &raw : {u""_s, u"bogus"_s, u"Completed"_s, u"completed "_s}) {
        EXPECT_EQ(changeKindFromRaw(raw), ChangeKind::Created) << raw.toStdString();
        const auto entry = makeEntry(ChangeKind::Completed, created);
        entry->setKindRaw(raw);
        EXPECT_EQ(entry->kindTitle(), u"Created"_s);
        EXPECT_EQ(entry->kindSymbol(), u"plus.circle"_s);
        EXPECT_EQ(entry->kindRaw(), raw);
    }
}

// Change signals -----------------------------------------------------------------------------

TEST(RecordSignals, theSameMomentInAnotherZoneIsNoChange) {
    const auto item = makeTodo();
    const QDateTime day = utc(2026, 1, 6, 5, 0);
    item->setScheduledDate(day);
    QSignalSpy changed(item.get(), &TodoItem::scheduledDateChanged);
    item->setScheduledDate(day.toOffsetFromUtc(-5 * 3600));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(item->scheduledDate().timeSpec(), Qt::UTC);
}

// Relations ----------------------------------------------------------------------------------

// Adding twice links once; adding to another to-do moves the child there; removing leaves the
// other children.
TEST(TodoItemRelations, addingLinksBothSidesOnceMovesFromAnotherTodoAndRemovingLeavesTheRest) {
    const auto first = makeTodo(u"First"_s);
    const auto second = makeTodo(u"Second"_s);
    const auto subtask = makeSubtask(u"Eggs"_s, 0);
    const auto staying = makeSubtask(u"Staying"_s, 1);
    const auto entry = makeEntry(ChangeKind::Created, created);
    QSignalSpy subtasks(first.get(), &TodoItem::subtasksChanged);
    QSignalSpy changes(first.get(), &TodoItem::changesChanged);
    QSignalSpy parent(subtask.get(), &Subtask::parentChanged);
    QSignalSpy owner(entry.get(), &ChangeEntry::itemChanged);
    for (int i = 0; i < 2; ++i) {
        first->addSubtask(subtask);
        first->addChange(entry);
    }
    first->addSubtask(staying);
    EXPECT_EQ(subtask->parent(), first);
    EXPECT_EQ(entry->item(), first);
    EXPECT_EQ(first->changes(), QList<ChangeEntryPtr>{entry});
    EXPECT_TRUE(first->hasSubtaskCollection());
    EXPECT_EQ(subtasks.count(), 2);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(parent.count(), 1);
    EXPECT_EQ(owner.count(), 1);

    second->addSubtask(subtask);
    second->addChange(entry);
    EXPECT_EQ(subtask->parent(), second);
    EXPECT_EQ(entry->item(), second);
    EXPECT_EQ(first->subtasks(), QList<SubtaskPtr>{staying});
    EXPECT_EQ(second->subtasks(), QList<SubtaskPtr>{subtask});
    EXPECT_TRUE(first->changes().isEmpty());
    EXPECT_EQ(first->subtaskProgress(), std::make_pair(0, 1));
    EXPECT_EQ(subtasks.count(), 3);

    // Removing, twice, leaves the other children.
    second->addSubtask(staying);
    QSignalSpy removed(second.get(), &TodoItem::subtasksChanged);
    second->removeSubtask(*subtask);
    second->removeSubtask(*subtask);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(second->subtasks(), QList<SubtaskPtr>{staying});
    EXPECT_EQ(staying->parent(), second);
}

// A child refers to its owner weakly: the to-do is freed with its last outside reference, and
// the children it owned then report no owner.
TEST(TodoItemRelations, childrenDoNotKeepTheirTodoAlive) {
    const auto subtask = makeSubtask(u"Eggs"_s, 0);
    const auto entry = makeEntry(ChangeKind::Created, created);
    std::weak_ptr<TodoItem> watched;
    {
        const auto item = makeTodo();
        item->addSubtask(subtask);
        item->addChange(entry);
        watched = item;
    }
    EXPECT_TRUE(watched.expired());
    EXPECT_EQ(subtask->parent(), nullptr);
    EXPECT_EQ(entry->item(), nullptr);
}

} // namespace
} // namespace qb
