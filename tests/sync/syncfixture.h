#pragma once

#include "model/calendar.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "store/syncledger.h"
#include "storefixture.h"
#include "sync/syncengine.h"
#include "syncprinters.h"
#include "tasks/taskstore.h"
#include "virtualtime.h"

#include <QSignalSpy>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <memory>

namespace qb::sync::test {

// One device: a store of its own, the task operations over it and a sync engine bound to the
// shared collection, both on a clock the test moves.
class Device {
public:
    Device(HttpTransport &transport, const QUrl &collection, const QString &password,
           const QString &zone = QStringLiteral("America/New_York"))
        : calendar(QStringLiteral("en_US"), zone) {
        ModelContainer::Configuration configuration;
        configuration.path = folder.filePath(QStringLiteral("Device.store"));
        auto opened = ModelContainer::open(configuration);
        EXPECT_TRUE(opened.ok()) << opened.message().toStdString();
        container = std::move(opened.value());
        EXPECT_TRUE(SyncLedger(context()).bind(collection.toString()).ok());
        engine = std::make_unique<SyncEngine>(
            *container, transport, SyncTarget{collection, QStringLiteral("alice"), password},
            calendar, clock(), [this] { return time.makeTimer(); });
    }

    ModelContext &context() { return container->mainContext(); }
    Clock clock() const {
        return Clock([m = moment] { return *m; });
    }
    TaskStore tasks() { return TaskStore(context(), {clock(), calendar, nullptr}); }

    // One round; false when it failed or did not finish within five seconds.
    bool sync() {
        QSignalSpy finished(engine.get(), &SyncEngine::finished);
        engine->syncNow();
        if (!finished.wait(5000))
            return false;
        context().checkForRemoteChanges();
        return finished.first().first().toBool();
    }

    QList<TodoItemPtr> todos() {
        TodoFetch request;
        request.sort = {{TodoSort::Field::CreatedAt, true}, {TodoSort::Field::Title, true}};
        return context().fetch(request).valueOr({});
    }
    TodoItemPtr find(const QString &title) { return qb::test::only(context(), title); }
    int pending() { return SyncLedger(context()).pendingCount().valueOr(-1); }

    qb::test::TempFolder folder;
    Calendar calendar;
    qb::test::VirtualTime time;
    std::shared_ptr<QDateTime> moment = std::make_shared<QDateTime>(
        QDateTime(QDate(2024, 3, 9), QTime(15, 0), QTimeZone("America/New_York")).toUTC());
    std::unique_ptr<ModelContainer> container;
    std::unique_ptr<SyncEngine> engine;
};

} // namespace qb::sync::test
