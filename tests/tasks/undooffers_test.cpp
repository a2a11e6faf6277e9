#include "taskfixture.h"
#include "tasks/undooffers.h"

using namespace qb;
using qb::test::TaskFixture;

using UndoOffers = TaskFixture;

TEST_F(UndoOffers, takingBackARenameOrNotesRestoresThemAndRemovesTheLogEntry) {
    auto item = store().add(QStringLiteral("Old"), TodoList::Today);
    auto edit = store().setTitle(item, QStringLiteral("New"));
    ASSERT_TRUE(edit);
    const auto offer = undooffers::forEdit(*edit, context(), environment);
    EXPECT_EQ(offer.message, QStringLiteral("Renamed"));
    const int reloads = host.reloads;
    offer.undo();
    EXPECT_EQ(item->title(), QStringLiteral("Old"));
    ASSERT_EQ(item->changes().size(), 1);
    EXPECT_EQ(item->changes().first()->kind(), ChangeKind::Created);
    EXPECT_FALSE(std::get<TitleEdit>(*edit).entry->isInContext());
    EXPECT_EQ(host.reloads, reloads + 1);
    EXPECT_FALSE(context().hasChanges());

    store().setNotes(item, QStringLiteral("first"));
    auto notes = store().setNotes(item, QStringLiteral("second"));
    const auto notesOffer = undooffers::forEdit(*notes, context(), environment);
    EXPECT_EQ(notesOffer.message, QStringLiteral("Notes edited"));
    notesOffer.undo();
    EXPECT_EQ(item->notes(), QStringLiteral("first"));
    EXPECT_EQ(item->changes().size(), 2);
}

TEST_F(UndoOffers, takingBackAScheduleRestoresDateAndPlace) {
    auto store = this->store();
    auto a = store.add(QStringLiteral("a"), TodoList::Today);
    auto b = store.add(QStringLiteral("b"), TodoList::Today);
    auto edit = store.schedule(a, at(2024, 3, 10));
    const auto offer = undooffers::forEdit(*edit, context(), environment);
    EXPECT_EQ(offer.message, QStringLiteral("Scheduled for Tomorrow"));
    offer.undo();
    EXPECT_EQ(a->scheduledDate(), at(2024, 3, 9));
    EXPECT_EQ(a->sortOrder(), 1.0);
    EXPECT_LT(a->sortOrder(), b->sortOrder());

    auto cleared = store.schedule(b, QDateTime());
    const auto later = undooffers::forEdit(*cleared, context(), environment);
    EXPECT_EQ(later.message, QStringLiteral("Moved to Later"));
    later.undo();
    EXPECT_EQ(b->scheduledDate(), at(2024, 3, 9));
}

TEST_F(UndoOffers, deletionOrAdditionIsTakenBackAndADeletionOffersTheTrimmedTitle) {
    auto item = store().add(QStringLiteral("Pay rent"), TodoList::Today);
    const QUuid id = item->id();
    item->setTitle(QStringLiteral("  Pay rent\n"));
    auto snapshot = store().remove(item);
    const auto offer = undooffers::forDeletion(*snapshot, context(), environment);
    EXPECT_EQ(offer.message, QStringLiteral("Deleted “Pay rent”"));
    offer.undo();
    const auto restored = find(QStringLiteral("  Pay rent\n"));
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->id(), id);

    auto blank = store().add(QStringLiteral("   "), TodoList::Today);
    EXPECT_EQ(undooffers::forDeletion(*store().remove(blank), context(), environment).message,
              QStringLiteral("To-do deleted"));

    // Taking back an addition deletes the to-do again.
    const auto addition = undooffers::forAddition(restored, context(), environment);
    EXPECT_EQ(addition.message, QStringLiteral("Added to Today"));
    addition.undo();
    EXPECT_FALSE(restored->isInContext());
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 0);
}

TEST_F(UndoOffers, takingBackAnEditOfADeletedToDoDoesNothing) {
    auto item = store().add(QStringLiteral("Old"), TodoList::Today);
    auto edit = store().setTitle(item, QStringLiteral("New"));
    const auto offer = undooffers::forEdit(*edit, context(), environment);
    store().remove(item);
    const int reloads = host.reloads;
    offer.undo();
    EXPECT_EQ(item->title(), QStringLiteral("New"));
    EXPECT_EQ(context().count(TodoPredicate::all()).value(), 0);
    EXPECT_EQ(host.reloads, reloads);
}
