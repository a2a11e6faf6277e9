#include "model/search.h"
#include "storefixture.h"

using namespace qb;
using qb::test::each;
using qb::test::StoreFixture;

using QuickFind = StoreFixture;

TEST_F(QuickFind, findsOpenFirstThenNewestWhateverListOrDate) {
    auto oldOpen = addTodo(QStringLiteral("old open milk"), at(2023, 3, 1));
    oldOpen->setCreatedAt(at(2023, 3, 1));
    auto newDone = addTodo(QStringLiteral("new done milk"));
    newDone->setCreatedAt(at(2024, 3, 9, 12));
    newDone->setCompleted(true);
    auto notesOnly = addTodo(QStringLiteral("groceries"), at(2024, 3, 20));
    notesOnly->setNotes(QStringLiteral("oat MILK"));
    notesOnly->setCreatedAt(at(2024, 1, 1));
    addTodo(QStringLiteral("unrelated"));
    ASSERT_TRUE(context().save().ok());

    EXPECT_EQ(
        each(context().fetch(search::fetch(QStringLiteral("  Milk \n"))).value(), &TodoItem::title),
        QStringList({"groceries", "old open milk", "new done milk"}));
    EXPECT_TRUE(context().fetch(search::fetch(QStringLiteral(" \n "))).value().isEmpty());
    // Characters that are wildcards to SQL match only themselves.
    EXPECT_TRUE(context().fetch(search::fetch(QStringLiteral("%"))).value().isEmpty());
    EXPECT_TRUE(context().fetch(search::fetch(QStringLiteral("_"))).value().isEmpty());
}

TEST_F(QuickFind, offsetAndLimitPageThroughTheSameOrder) {
    for (int i = 0; i < 10; ++i)
        addTodo(QStringLiteral("item %1").arg(i))->setCreatedAt(at(2024, 1, 1 + i));
    ASSERT_TRUE(context().save().ok());
    TodoFetch page = search::fetch(QStringLiteral("item"));
    page.offset = 3;
    page.limit = 2;
    EXPECT_EQ(each(context().fetch(page).value(), &TodoItem::title),
              QStringList({"item 6", "item 5"}));
    page.limit.reset();
    EXPECT_EQ(context().fetch(page).value().size(), 7);
}

TEST_F(QuickFind, statusWordFollowsCompletionAndTheScheduledDay) {
    const QDateTime moment = at(2024, 3, 9, 15);
    const auto word = [&](const QDateTime &date, bool done = false) {
        TodoItem item(QStringLiteral("x"), TodoList::Today, date, 0, moment);
        item.setCompleted(done);
        return search::statusWord(item, moment, calendar);
    };
    EXPECT_EQ(word(at(2024, 3, 8)), QStringLiteral("Today"));
    EXPECT_EQ(word(at(2024, 3, 9)), QStringLiteral("Today"));
    EXPECT_EQ(word(at(2024, 3, 10)), QStringLiteral("Tomorrow"));
    EXPECT_EQ(word(at(2024, 3, 13)), QStringLiteral("Wed, Mar 13"));
    EXPECT_EQ(word(QDateTime()), QStringLiteral("Later"));
    EXPECT_EQ(word(at(2024, 3, 10), true), QStringLiteral("Done"));
}

// The ranges are the matcher's; an empty text or query has none.
TEST(Highlight, emptyTextsOrQueriesHaveNoRangesAndAnEmptyTitleAName) {
    const QString locale = QStringLiteral("en_US");
    EXPECT_TRUE(search::highlightRanges(QString(), QStringLiteral("a"), locale).isEmpty());
    EXPECT_TRUE(search::highlightRanges(QStringLiteral("abc"), QString(), locale).isEmpty());
    EXPECT_EQ(search::displayTitle(QString()), QStringLiteral("New To-Do"));
    EXPECT_EQ(search::displayTitle(QStringLiteral("  ")), QStringLiteral("  "));
}
