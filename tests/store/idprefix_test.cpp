#include "model/subtask.h"
#include "storefixture.h"

using namespace qb;
using qb::test::StoreFixture;

class IdPrefix : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        first = addTodo(QStringLiteral("first"));
        first->setId(QUuid::fromString(QStringLiteral("abcd1234-0000-4000-8000-000000000001")));
        second = addTodo(QStringLiteral("second"));
        second->setId(QUuid::fromString(QStringLiteral("abcd9999-0000-4000-8000-000000000002")));
        auto subtask = std::make_shared<Subtask>(QStringLiteral("step"), 1, now());
        subtask->setId(QUuid::fromString(QStringLiteral("5ee00000-0000-4000-8000-000000000003")));
        context().insert(subtask);
        second->addSubtask(subtask);
    }

    QList<QUuid> matching(const TodoPredicate &predicate) {
        TodoFetch request;
        request.predicate = predicate;
        request.sort = {{TodoSort::Field::Title, true}};
        return qb::test::each(context().fetch(request).value(), &TodoItem::id);
    }

    TodoItemPtr first, second;
};

TEST_F(IdPrefix, matchesTheStartOfAToDosOrItsSubtasksIdWhateverTheLetterCase) {
    for (bool saved : {false, true}) {
        if (saved) {
            ASSERT_TRUE(context().save().ok());
        }
        EXPECT_EQ(matching(TodoPredicate::idPrefix(QStringLiteral("ABCD"))),
                  (QList<QUuid>{first->id(), second->id()}));
        EXPECT_EQ(matching(TodoPredicate::idPrefix(QStringLiteral("abcd1"))),
                  QList<QUuid>{first->id()});
        EXPECT_EQ(matching(TodoPredicate::idPrefix(
                      second->id().toString(QUuid::WithoutBraces).toUpper())),
                  QList<QUuid>{second->id()});
        // Only the start counts, and a longer text than the id matches nothing.
        EXPECT_TRUE(matching(TodoPredicate::idPrefix(QStringLiteral("1234"))).isEmpty());
        EXPECT_TRUE(
            matching(TodoPredicate::idPrefix(first->id().toString(QUuid::WithoutBraces) + u'0'))
                .isEmpty());
    }
    EXPECT_EQ(matching(TodoPredicate::hasSubtaskWithIdPrefix(QStringLiteral("5EE0"))),
              QList<QUuid>{second->id()});
    EXPECT_TRUE(matching(TodoPredicate::hasSubtaskWithIdPrefix(QStringLiteral("abcd"))).isEmpty());
    // Characters that mean something to LIKE or GLOB are plain text here.
    EXPECT_TRUE(matching(TodoPredicate::idPrefix(QStringLiteral("%"))).isEmpty());
    EXPECT_TRUE(matching(TodoPredicate::idPrefix(QStringLiteral("ab*"))).isEmpty());
}
