#include "taskfixture.h"

using namespace qb;
using qb::test::TaskFixture;

namespace {

// The one open to-do titled `title`: a spawned next instance; null when there is not one.
TodoItemPtr openOne(ModelContext &context, const QString &title) {
    TodoFetch request;
    request.predicate = TodoPredicate::isCompleted(false) &&
                        TodoPredicate::textEquals(TodoPredicate::TextField::Title, title);
    const auto found = context.fetch(request).valueOr({});
    return found.size() == 1 ? found.first() : nullptr;
}

} // namespace

using Completion = TaskFixture;

TEST_F(Completion, aDailyToDoForTodaySpawnsTomorrowsCopyWithOpenSubtasks) {
    auto store = this->store();
    store.add(QStringLiteral("already tomorrow"), at(2024, 3, 10));
    auto item = store.add(QStringLiteral("Water plants"), TodoList::Today);
    store.setNotes(item, QStringLiteral("the fern too"));
    store.setRepeat(item, RecurrenceRule{}); // daily
    auto done = store.addSubtask(item, QStringLiteral("inside"));
    store.addSubtask(item, QStringLiteral("balcony"));
    store.toggleSubtask(done);

    store.toggleCompletion(item);
    EXPECT_TRUE(item->recurrenceRuleRaw().isNull());
    EXPECT_EQ(item->subtaskProgress(), std::make_pair(1, 2));

    const auto next = openOne(context(), QStringLiteral("Water plants"));
    ASSERT_TRUE(next);
    EXPECT_NE(next->id(), item->id());
    EXPECT_EQ(next->scheduledDate(), at(2024, 3, 10));
    EXPECT_EQ(next->sortOrder(), 2.0); // below the one already there
    EXPECT_EQ(next->listRaw(), QStringLiteral("today"));
    EXPECT_EQ(next->notes(), QStringLiteral("the fern too"));
    EXPECT_EQ(next->recurrenceRule(), RecurrenceRule{});
    EXPECT_EQ(next->createdAt(), clockNow());
    EXPECT_EQ(qb::test::each(next->changes(), &ChangeEntry::kindRaw), QStringList{"created"});
    const auto copies = next->orderedSubtasks();
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(copies[0]->title(), QStringLiteral("inside"));
    EXPECT_FALSE(copies[0]->isCompleted());
    EXPECT_EQ(copies[0]->sortOrder(), 1.0);
    EXPECT_NE(copies[0]->id(), done->id());
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
    const auto spawned = openOne(context(), QStringLiteral("weekly"));
    ASSERT_TRUE(spawned);
    EXPECT_EQ(spawned->scheduledDate(), at(2024, 3, 18));
    // Below "other upcoming" only: the completed instance no longer holds 2.
    EXPECT_EQ(spawned->sortOrder(), 2.0);
    EXPECT_EQ(other->sortOrder(), 1.0);
}

// Without a rule nothing else is made; reopening keeps a spawned instance and gives no rule back.
TEST_F(Completion, eachToggleIsLoggedAndReopeningUndoesNoSpawn) {
    auto plain = store().add(QStringLiteral("plain"), TodoList::Today);
    auto daily = store().add(QStringLiteral("daily"), TodoList::Today);
    store().setRepeat(daily, RecurrenceRule{});
    for (const auto &item : {plain, daily}) {
        for (int i = 0; i < 2; ++i) {
            advanceClock(1);
            store().toggleCompletion(item);
            EXPECT_EQ(item->completedAt(), i == 0 ? clockNow() : QDateTime());
        }
        EXPECT_FALSE(item->isCompleted());
        EXPECT_EQ(item->orderedChanges().at(1)->kindRaw(), QStringLiteral("completed"));
        EXPECT_EQ(item->orderedChanges().at(0)->kindRaw(), QStringLiteral("reopened"));
    }
    EXPECT_TRUE(daily->recurrenceRuleRaw().isNull());
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 3);
}

// The next date counts from the to-do's own date, even when overdue, or from today without one.
TEST_F(Completion, theNextDateCountsFromTheToDosDateOrFromToday) {
    for (const QDateTime &date : {at(2024, 3, 4), QDateTime()}) {
        auto item = store().add(QStringLiteral("repeating"), date);
        item->setRecurrenceRule(RecurrenceRule{});
        context().save();
        store().toggleCompletion(item);
        const auto spawned = openOne(context(), QStringLiteral("repeating"));
        ASSERT_TRUE(spawned);
        EXPECT_EQ(spawned->scheduledDate(), date.isValid() ? at(2024, 3, 5) : at(2024, 3, 10));
        context().remove(spawned);
    }
}

// A rule that cannot be read is neither repeated nor cleared, by completing or by clearing it.
TEST_F(Completion, anUnreadableRuleIsNeitherRepeatedNorCleared) {
    auto item = store().add(QStringLiteral("broken"), TodoList::Today);
    item->setRecurrenceRuleRaw(QStringLiteral("{\"frequency\":\"hourly\"}"));
    context().save();
    store().setRepeat(item, std::nullopt);
    EXPECT_EQ(item->changes().size(), 1);
    store().toggleCompletion(item);
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 1);
    EXPECT_EQ(item->recurrenceRuleRaw(), QStringLiteral("{\"frequency\":\"hourly\"}"));
}
