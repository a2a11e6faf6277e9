#include "appfixture.h"
#include "viewmodels/completionqueue.h"

using namespace qb;
using namespace std::chrono_literals;
using qb::test::AppFixture;

namespace {

class Completion : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        item = store().add(QStringLiteral("water plants"), TodoList::Today);
    }
    CompletionQueue &queue() { return *app->completions(); }
    int logged(ChangeKind kind) const {
        int count = 0;
        for (const auto &entry : item->changes())
            count += entry->kind() == kind ? 1 : 0;
        return count;
    }

    TodoItemPtr item;
};

TEST_F(Completion, aTappedToDoShowsAsCompletingAndCompletesAfterFiveSeconds) {
    QSignalSpy changed(&queue(), &CompletionQueue::completingChanged);
    queue().start(item.get());
    EXPECT_TRUE(queue().isCompleting(item->id()));
    EXPECT_TRUE(queue().isCompleting(item->id().toString()));
    EXPECT_EQ(changed.count(), 1);

    advance(4999ms);
    EXPECT_FALSE(item->isCompleted());
    advance(1ms);
    EXPECT_TRUE(item->isCompleted());
    EXPECT_FALSE(queue().isCompleting(item->id()));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(logged(ChangeKind::Completed), 1);
}

TEST_F(Completion, aSecondTapWithinFiveSecondsNeitherRestartsNorRepeats) {
    queue().start(item.get());
    const int revision = queue().revision();
    advance(3s);
    queue().start(item.get());
    EXPECT_EQ(queue().revision(), revision);
    advance(2s);
    EXPECT_TRUE(item->isCompleted());
    advance(10s);
    EXPECT_TRUE(item->isCompleted());
    EXPECT_EQ(logged(ChangeKind::Completed), 1);
    EXPECT_EQ(logged(ChangeKind::Reopened), 0);
}

TEST_F(Completion, aToDoCompletedElsewhereMeanwhileIsNotReopened) {
    queue().start(item.get());
    advance(1s);
    store().toggleCompletion(item);
    advance(5s);
    EXPECT_TRUE(item->isCompleted());
    EXPECT_EQ(logged(ChangeKind::Reopened), 0);
    EXPECT_FALSE(queue().isCompleting(item->id()));
}

TEST_F(Completion, aToDoDeletedMeanwhileIsLeftAlone) {
    const QUuid id = item->id();
    queue().start(item.get());
    store().remove(item);
    advance(5s);
    EXPECT_FALSE(queue().isCompleting(id));
    TodoFetch all;
    EXPECT_TRUE(context().fetch(all).value().isEmpty());
    EXPECT_FALSE(context().hasChanges());
}

TEST_F(Completion, severalToDosCompleteEachOnItsOwnTime) {
    auto other = store().add(QStringLiteral("call mum"), TodoList::Today);
    queue().start(item.get());
    advance(2s);
    queue().start(other.get());
    advance(3s);
    EXPECT_TRUE(item->isCompleted());
    EXPECT_FALSE(other->isCompleted());
    EXPECT_TRUE(queue().isCompleting(other->id()));
    advance(2s);
    EXPECT_TRUE(other->isCompleted());
}

TEST_F(Completion, aCompletionOutlivesTheViewThatStartedItAndIsSaved) {
    // Nothing but the queue holds the record while the delay runs.
    const QUuid id = item->id();
    queue().start(item.get());
    item.reset();
    advance(5s);
    auto other = otherConnection();
    TodoFetch all;
    const auto stored = other->fetch(all).value();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.first()->id(), id);
    EXPECT_TRUE(stored.first()->isCompleted());
}

} // namespace
