#include "model/calendar.h"
#include "model/clock.h"
#include "store/cloudmirror.h"
#include "store/modelcontext.h"
#include "store/persistence.h"
#include "tempstore.h"

#include <QSettings>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace qb;
using namespace Qt::Literals::StringLiterals;

namespace {

class RecordingMirror : public CloudMirror {
public:
    explicit RecordingMirror(bool succeeds, bool configured = true)
        : m_succeeds(succeeds)
        , m_configured(configured) {}
    bool isConfigured() const override { return m_configured; }
    Status attach(ModelContainer &container) override {
        attachedModes.append(container.configuration().cloudMode);
        return m_succeeds ? Status::success() : Status::failure(QStringLiteral("signed out"));
    }
    QList<ModelContainer::CloudMode> attachedModes;

private:
    bool m_succeeds;
    bool m_configured;
};

} // namespace

TEST(OpenContainer, triesTheMirrorOnlyWithAnAccountAndFallsBackToTheLocalStore) {
    using Mode = ModelContainer::CloudMode;
    test::TempFolder folder;
    const struct {
        QStringList arguments;
        bool configured, attaches, tried;
        Mode result;
    } cases[] = {
        {{}, true, true, true, Mode::Automatic},
        {{}, true, false, true, Mode::None},
        {{u"quillbrook"_s, u"-cloudKitDisabled"_s}, true, true, false, Mode::None},
        {{}, false, true, false, Mode::None},
        // Only the exact whole argument disables the mirror.
        {{u"-cloudkitdisabled"_s}, true, true, true, Mode::Automatic},
        {{u"-cloudKitDisabled=YES"_s}, true, true, true, Mode::Automatic},
        {{u"--cloudKitDisabled"_s}, true, true, true, Mode::Automatic},
    };
    for (const auto &c : cases) {
        RecordingMirror mirror(c.attaches, c.configured);
        auto container =
            persistence::openContainer(c.arguments, folder.path(), mirror, QStringLiteral("en_US"));
        ASSERT_TRUE(container.ok());
        EXPECT_EQ(mirror.attachedModes, c.tried ? QList{Mode::Automatic} : QList<Mode>{});
        EXPECT_EQ(container.value()->configuration().cloudMode, c.result);
        EXPECT_EQ(container.value()->configuration().path,
                  folder.filePath(QStringLiteral("Quillbrook.store")));
    }
}

class Backfill : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingMirror mirror(false);
        auto opened = persistence::openContainer({QStringLiteral("-cloudKitDisabled")},
                                                 folder.path(), mirror, QStringLiteral("en_US"));
        ASSERT_TRUE(opened.ok());
        container = std::move(opened.value());
        settings.clear();
    }

    TodoItemPtr add(const QString &title, TodoList list, bool completed = false) {
        auto item = std::make_shared<TodoItem>(title, list, QDateTime(), 0, moment);
        item->setCompleted(completed);
        container->mainContext().insert(item);
        EXPECT_TRUE(container->mainContext().save().ok());
        return item;
    }

    void run() { persistence::backfillScheduledDates(*container, settings, clock, calendar); }

    test::TempFolder folder;
    QSettings settings{folder.filePath(QStringLiteral("prefs.ini")), QSettings::IniFormat};
    std::unique_ptr<ModelContainer> container;
    Calendar calendar{QStringLiteral("en_US"), QStringLiteral("America/New_York")};
    QDateTime moment =
        QDateTime(QDate(2024, 11, 3), QTime(18, 0), QTimeZone("America/New_York")).toUTC();
    Clock clock = Clock::fixed(moment);
};

TEST_F(Backfill, datesUndatedTodayTodosOpenOrDoneAndLeavesLaterAlone) {
    auto open = add(QStringLiteral("open"), TodoList::Today);
    auto done = add(QStringLiteral("done"), TodoList::Today, true);
    auto later = add(QStringLiteral("later"), TodoList::Later);
    // A list this build does not know is not Today.
    auto stray = add(QStringLiteral("stray"), TodoList::Today);
    stray->setListRaw(QStringLiteral("inbox"));
    ASSERT_TRUE(container->mainContext().save().ok());
    run();
    container->mainContext().checkForRemoteChanges();
    const QDateTime startOfDay =
        QDateTime(QDate(2024, 11, 3), QTime(0, 0), QTimeZone("America/New_York")).toUTC();
    EXPECT_EQ(open->scheduledDate(), startOfDay);
    EXPECT_EQ(done->scheduledDate(), startOfDay);
    EXPECT_FALSE(later->scheduledDate().isValid());
    EXPECT_FALSE(stray->scheduledDate().isValid());
}

// Once run, even with nothing to do, it never runs again: not for to-dos created afterwards.
TEST_F(Backfill, runsOnlyOnceEvenForTodosCreatedAfterward) {
    run();
    EXPECT_TRUE(settings.value(QLatin1String(persistence::backfillFlagKey)).toBool());
    auto lateArrival = add(QStringLiteral("from an old copy"), TodoList::Today);
    run();
    container->mainContext().checkForRemoteChanges();
    EXPECT_FALSE(lateArrival->scheduledDate().isValid());
}
