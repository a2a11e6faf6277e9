#include "accessibility/undoannouncements.h"
#include "appfixture.h"

using namespace qb;
using namespace std::chrono_literals;

namespace {

class RecordingAnnouncer final : public Announcer {
public:
    void announce(const QString &message) override { spoken.append(message); }
    QStringList spoken;
};

using Announcements = qb::test::AppFixture;

void offer(UndoCenter &center, const QString &message) {
    center.offer({QUuid::createUuid(), message, QStringLiteral("trash"), [] {}});
}

TEST_F(Announcements, eachOfferIsAnnouncedOnceEvenWithTheSameMessageAndLeavingSaysNothing) {
    RecordingAnnouncer announcer;
    UndoAnnouncements announcements;
    announcements.setAnnouncer(&announcer);
    // An offer already shown when the toast appears is announced too.
    offer(undoCenter, QStringLiteral("Deleted “Pay rent”"));
    announcements.setCenter(&undoCenter);
    // Without an announcer of its own, the description is what screen readers speak: they speak
    // a change, so the same text again is cleared and set.
    UndoAnnouncements described;
    described.setCenter(&undoCenter);
    QSignalSpy changed(&described, &UndoAnnouncements::textChanged);
    offer(undoCenter, QStringLiteral("Renamed"));
    offer(undoCenter, QStringLiteral("Renamed"));
    EXPECT_EQ(described.text(), QStringLiteral("Renamed. Undo available."));
    EXPECT_EQ(changed.count(), 3);
    // Used, dismissed or expired: nothing more is said.
    undoCenter.usePending();
    offer(undoCenter, QStringLiteral("Scheduled for Today"));
    undoCenter.dismiss();
    offer(undoCenter, QStringLiteral("Moved to Later"));
    time.advance(4s);
    EXPECT_FALSE(undoCenter.hasPending());
    EXPECT_EQ(announcer.spoken,
              (QStringList{"Deleted “Pay rent”. Undo available.", "Renamed. Undo available.",
                           "Renamed. Undo available.", "Scheduled for Today. Undo available.",
                           "Moved to Later. Undo available."}));
}

} // namespace
