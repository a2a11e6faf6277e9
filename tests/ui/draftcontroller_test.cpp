#include "appfixture.h"
#include "navigation/composer.h"
#include "viewmodels/draftcontroller.h"

using namespace qb;
using namespace std::chrono_literals;
using qb::test::AppFixture;

namespace {

class Draft : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        draft.setTimer(time.makeTimer());
        draft.setApp(app.get());
        draft.setComposer(&composer);
        draft.setListRaw(QStringLiteral("today"));
        composer.setAddingTo(TodoList::Today);
    }
    QStringList stored() {
        TodoFetch all;
        all.sort = {{TodoSort::Field::SortOrder, true}};
        QStringList titles;
        for (const auto &item : context().fetch(all).valueOr({}))
            titles.append(item->title());
        return titles;
    }

    Composer composer;
    DraftController draft;
};

TEST_F(Draft, opensWhileTheComposerAddsToItsList) {
    QSignalSpy opened(&draft, &DraftController::openChanged);
    EXPECT_TRUE(draft.isOpen());
    composer.setAddingTo(TodoList::Later);
    EXPECT_FALSE(draft.isOpen());
    EXPECT_EQ(opened.count(), 1);
    draft.setListRaw(QStringLiteral("later"));
    EXPECT_TRUE(draft.isOpen());
}

TEST_F(Draft, returnAddsTheTrimmedTitleOnceAndClosesTheRow) {
    draft.setFocused(true);
    draft.setText(QStringLiteral("  Buy milk \n"));
    draft.commit();
    EXPECT_EQ(stored(), QStringList{"Buy milk"});
    EXPECT_EQ(draft.text(), QString());
    EXPECT_FALSE(composer.addingTo());
    EXPECT_FALSE(draft.isOpen());
    auto item = find(QStringLiteral("Buy milk"));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->scheduledDate(), at(2024, 3, 9));

    // The field losing focus as the row closes adds nothing more.
    draft.setFocused(false);
    advance(1s);
    EXPECT_EQ(stored().size(), 1);
}

TEST_F(Draft, aLaterDraftAddsAnUndatedToDo) {
    draft.setListRaw(QStringLiteral("later"));
    composer.setAddingTo(TodoList::Later);
    draft.setText(QStringLiteral("Someday"));
    draft.commit();
    auto item = find(QStringLiteral("Someday"));
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->scheduledDate().isValid());
}

TEST_F(Draft, returnOnSpacesAddsNothingButClosesTheRow) {
    draft.setText(QStringLiteral("   \n "));
    draft.commit();
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(draft.text(), QString());
    EXPECT_FALSE(draft.isOpen());
}

TEST_F(Draft, leavingTheFieldCommitsAfterTwoHundredMilliseconds) {
    draft.setFocused(true);
    draft.setText(QStringLiteral("Call Ann"));
    draft.setFocused(false);
    advance(199ms);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(draft.isOpen());
    advance(1ms);
    EXPECT_EQ(stored(), QStringList{"Call Ann"});
    EXPECT_FALSE(draft.isOpen());
}

TEST_F(Draft, focusComingBackWithinTheDelayCancelsTheCommit) {
    draft.setFocused(true);
    draft.setText(QStringLiteral("Call Ann"));
    draft.setFocused(false);
    advance(150ms);
    draft.setFocused(true);
    advance(1s);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(draft.isOpen());
    EXPECT_EQ(draft.text(), QStringLiteral("Call Ann"));

    // Leaving again starts a fresh delay.
    draft.setFocused(false);
    advance(100ms);
    EXPECT_TRUE(stored().isEmpty());
    advance(100ms);
    EXPECT_EQ(stored(), QStringList{"Call Ann"});
}

TEST_F(Draft, aDraftMovedToTheOtherListMeanwhileIsNotCommittedHere) {
    draft.setFocused(true);
    draft.setText(QStringLiteral("Call Ann"));
    draft.setFocused(false);
    composer.setAddingTo(TodoList::Later);
    advance(1s);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(composer.addingTo(), TodoList::Later);
}

TEST_F(Draft, typedTextOutlivesTheViewAndEscapeClosesOnlyAnEmptyDraft) {
    draft.setText(QStringLiteral("  "));
    draft.commitTyped(); // the view goes away with nothing typed: the draft stays open
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(draft.isOpen());

    draft.setText(QStringLiteral("Call Ann"));
    draft.cancel(); // Escape with text keeps it
    EXPECT_TRUE(draft.isOpen());
    draft.setFocused(true);
    draft.setFocused(false);
    draft.commitTyped(); // the view goes before the delayed commit
    EXPECT_EQ(stored(), QStringList{"Call Ann"});
    EXPECT_FALSE(draft.isOpen());
    advance(1s);
    EXPECT_EQ(stored().size(), 1);

    composer.setAddingTo(TodoList::Today);
    draft.setText(QStringLiteral(" "));
    draft.cancel();
    EXPECT_FALSE(draft.isOpen());
    EXPECT_EQ(draft.text(), QString());
    EXPECT_EQ(stored().size(), 1);
}

TEST_F(Draft, losingFocusWhileClosedDoesNothing) {
    composer.setAddingTo(std::nullopt);
    draft.setFocused(true);
    draft.setText(QStringLiteral("stale"));
    draft.setFocused(false);
    advance(1s);
    EXPECT_TRUE(stored().isEmpty());
}

} // namespace
