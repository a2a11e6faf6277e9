#include "taskfixture.h"

using namespace qb;
using qb::test::TaskFixture;

namespace {

QList<QString> kindRaws(const TodoItem &item) {
    QList<QString> result;
    for (const auto &entry : item.changes())
        result.append(entry->kindRaw());
    return result;
}

RecurrenceRule daily() {
    return RecurrenceRule{};
}

} // namespace

using Completion = TaskFixture;

TEST_F(Completion, completingWithoutARuleCreatesNothingElse) {
    auto item = store().add(QStringLiteral("plain"), TodoList::Today);
    advanceClock(30);
    store().toggleCompletion(item);
    EXPECT_TRUE(item->isCompleted());
    EXPECT_EQ(item->completedAt(), clockNow());
    EXPECT_EQ(kindRaws(*item),
              (QList<QString>{QStringLiteral("created"), QStringLiteral("completed")}));
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 1);
}

TEST_F(Completion, aDailyToDoForTodaySpawnsTomorrowsCopyWithOpenSubtasks) {
    auto store = this->store();
    store.add(QStringLiteral("already tomorrow"), at(2024, 3, 10));
    auto item = store.add(QStringLiteral("Water plants"), TodoList::Today);
    store.setNotes(item, QStringLiteral("the fern too"));
    store.setRepeat(item, daily());
    auto done = store.addSubtask(item, QStringLiteral("inside"));
    store.addSubtask(item, QStringLiteral("balcony"));
    store.toggleSubtask(done);

    store.toggleCompletion(item);
    EXPECT_TRUE(item->recurrenceRuleRaw().isNull());
    EXPECT_EQ(item->subtaskProgress(), std::make_pair(1, 2));

    TodoFetch open;
    open.predicate =
        TodoPredicate::isCompleted(false) &&
        TodoPredicate::textEquals(TodoPredicate::TextField::Title, QStringLiteral("Water plants"));
    const auto spawned = context().fetch(open).value();
    ASSERT_EQ(spawned.size(), 1);
    const auto &next = spawned.first();
    EXPECT_NE(next->id(), item->id());
    EXPECT_EQ(next->scheduledDate(), at(2024, 3, 10));
    EXPECT_EQ(next->sortOrder(), 2.0); // below the one already there
    EXPECT_EQ(next->listRaw(), QStringLiteral("today"));
    EXPECT_EQ(next->notes(), QStringLiteral("the fern too"));
    EXPECT_EQ(next->recurrenceRule(), daily());
    EXPECT_EQ(next->createdAt(), clockNow());
    EXPECT_EQ(kindRaws(*next), (QList<QString>{QStringLiteral("created")}));
    const auto copies = next->orderedSubtasks();
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(copies[0]->title(), QStringLiteral("inside"));
    EXPECT_FALSE(copies[0]->isCompleted());
    EXPECT_EQ(copies[0]->sortOrder(), 1.0);
    EXPECT_NE(copies[0]->id(), done->id());
}

TEST_F(Completion, theNextDateCountsFromTheToDosOwnDateEvenWhenOverdue) {
    auto item = store().add(QStringLiteral("overdue"), at(2024, 3, 4));
    store().setRepeat(item, daily()); // a rule moves the date to today; put it back
    item->setScheduledDate(at(2024, 3, 4));
    context().save();
    store().toggleCompletion(item);
    TodoFetch open;
    open.predicate = TodoPredicate::isCompleted(false);
    const auto spawned = context().fetch(open).value();
    ASSERT_EQ(spawned.size(), 1);
    EXPECT_EQ(spawned.first()->scheduledDate(), at(2024, 3, 5));
}

TEST_F(Completion, anUndatedRepeatingToDoCountsFromToday) {
    auto item = store().add(QStringLiteral("undated"), TodoList::Later);
    item->setRecurrenceRule(daily());
    context().save();
    store().toggleCompletion(item);
    TodoFetch open;
    open.predicate = TodoPredicate::isCompleted(false);
    EXPECT_EQ(context().fetch(open).value().first()->scheduledDate(), at(2024, 3, 10));
}

TEST_F(Completion, anUnreadableRuleSpawnsNothing) {
    auto item = store().add(QStringLiteral("broken"), TodoList::Today);
    item->setRecurrenceRuleRaw(QStringLiteral("not json"));
    context().save();
    store().toggleCompletion(item);
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 1);
    EXPECT_EQ(item->recurrenceRuleRaw(), QStringLiteral("not json"));
}

TEST_F(Completion, reopeningKeepsTheSpawnedInstanceAndDoesNotGiveTheRuleBack) {
    auto item = store().add(QStringLiteral("r"), TodoList::Today);
    store().setRepeat(item, daily());
    advanceClock(10);
    store().toggleCompletion(item);
    advanceClock(10);
    store().toggleCompletion(item);
    EXPECT_FALSE(item->isCompleted());
    EXPECT_FALSE(item->completedAt().isValid());
    EXPECT_TRUE(item->recurrenceRuleRaw().isNull());
    EXPECT_EQ(context().count(TodoPredicate::isCompleted(false)).value(), 2);
}

TEST_F(Completion, togglingTwiceLogsEachStepInOrder) {
    auto item = store().add(QStringLiteral("t"), TodoList::Today);
    for (int i = 0; i < 4; ++i) {
        advanceClock(1);
        store().toggleCompletion(item);
    }
    QList<QString> newestLast;
    const auto ordered = item->orderedChanges();
    for (auto it = ordered.rbegin(); it != ordered.rend(); ++it)
        newestLast.append((*it)->kindRaw());
    EXPECT_EQ(newestLast, (QList<QString>{QStringLiteral("created"), QStringLiteral("completed"),
                                          QStringLiteral("reopened"), QStringLiteral("completed"),
                                          QStringLiteral("reopened")}));
}

TEST_F(Completion, theCompletedItemDoesNotCountInTheGroupItsNextInstanceJoins) {
    auto store = this->store();
    auto other = store.add(QStringLiteral("other upcoming"), at(2024, 3, 12)); // sort order 1
    auto item = store.add(QStringLiteral("weekly"), at(2024, 3, 11));          // sort order 2
    RecurrenceRule rule;
    rule.frequency = RecurrenceRule::Frequency::Weekly;
    rule.weekdays = {1};
    item->setRecurrenceRule(rule);
    context().save();
    ASSERT_EQ(item->sortOrder(), 2.0);

    store.toggleCompletion(item);
    TodoFetch open;
    open.predicate =
        TodoPredicate::isCompleted(false) &&
        TodoPredicate::textEquals(TodoPredicate::TextField::Title, QStringLiteral("weekly"));
    const auto spawned = context().fetch(open).value();
    ASSERT_EQ(spawned.size(), 1);
    EXPECT_EQ(spawned.first()->scheduledDate(), at(2024, 3, 18));
    // Below "other upcoming" only: the completed instance no longer holds 2.
    EXPECT_EQ(spawned.first()->sortOrder(), 2.0);
    EXPECT_EQ(other->sortOrder(), 1.0);
}
