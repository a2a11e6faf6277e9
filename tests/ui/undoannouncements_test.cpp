#include "accessibility/undoannouncements.h"
#include "appfixture.h"

using namespace qb;
using namespace std::chrono_literals;
using qb::test::AppFixture;

namespace {

class RecordingAnnouncer final : public Announcer {
public:
    void announce(const QString &message) override { spoken.append(message); }
    QStringList spoken;
};

UndoCenter::Action offer(const QString &message) {
    return {QUuid::createUuid(), message, QStringLiteral("trash"), [] {}};
}

class Announcements : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        announcements.setAnnouncer(&announcer);
        announcements.setCenter(&undoCenter);
    }
    RecordingAnnouncer announcer;
    UndoAnnouncements announcements;
};

TEST_F(Announcements, eachOfferIsAnnouncedOnceWithUndoAvailable) {
    undoCenter.offer(offer(QStringLiteral("Deleted “Pay rent”")));
    EXPECT_EQ(announcer.spoken, QStringList{"Deleted “Pay rent”. Undo available."});

    undoCenter.offer(offer(QStringLiteral("Scheduled for Today")));
    EXPECT_EQ(announcer.spoken.size(), 2);
    EXPECT_EQ(announcer.spoken.last(), QStringLiteral("Scheduled for Today. Undo available."));

    // Leaving says nothing, whether used, dismissed or expired.
    undoCenter.usePending();
    undoCenter.offer(offer(QStringLiteral("Renamed")));
    time.advance(4s);
    EXPECT_FALSE(undoCenter.hasPending());
    EXPECT_EQ(announcer.spoken.size(), 3);
}

TEST_F(Announcements, theSameMessageOfferedAgainIsAnnouncedAgain) {
    undoCenter.offer(offer(QStringLiteral("Renamed")));
    undoCenter.offer(offer(QStringLiteral("Renamed")));
    EXPECT_EQ(announcer.spoken,
              (QStringList{"Renamed. Undo available.", "Renamed. Undo available."}));
}

TEST_F(Announcements, anOfferAlreadyShownWhenTheToastAppearsIsAnnounced) {
    UndoAnnouncements late;
    RecordingAnnouncer recorder;
    late.setAnnouncer(&recorder);
    undoCenter.offer(offer(QStringLiteral("Added to Today")));
    late.setCenter(&undoCenter);
    EXPECT_EQ(recorder.spoken, QStringList{"Added to Today. Undo available."});
}

TEST_F(Announcements, theDefaultAnnouncerChangesTheDescriptionEveryTime) {
    UndoAnnouncements spoken;
    spoken.setCenter(&undoCenter);
    QSignalSpy changed(&spoken, &UndoAnnouncements::textChanged);
    undoCenter.offer(offer(QStringLiteral("Renamed")));
    EXPECT_EQ(spoken.text(), QStringLiteral("Renamed. Undo available."));
    EXPECT_EQ(changed.count(), 1);
    // Screen readers speak a change: the same text again is cleared and set.
    undoCenter.offer(offer(QStringLiteral("Renamed")));
    EXPECT_EQ(spoken.text(), QStringLiteral("Renamed. Undo available."));
    EXPECT_EQ(changed.count(), 3);
}

} // namespace
