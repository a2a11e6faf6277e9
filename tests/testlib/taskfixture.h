#pragma once

#include "storefixture.h"
#include "tasks/taskenvironment.h"
#include "tasks/taskstore.h"
#include "widget/widgethost.h"
#include "widget/widgetsnapshotwriter.h"

#include <memory>

namespace qb::test {

class RecordingWidgetHost final : public WidgetHost {
public:
    void reloadAllTimelines() override { ++reloads; }
    int reloads = 0;
};

// A real store plus everything task operations need, with a clock the test moves by hand
// (starting 15:00 on Saturday 9 March 2024 in New York, the eve of a daylight-saving change).
class TaskFixture : public StoreFixture {
protected:
    TaskStore store() { return TaskStore(context(), environment); }
    void advanceClock(qint64 seconds) { *moment = moment->addSecs(seconds); }
    void setClock(const QDateTime &to) { *moment = to.toUTC(); }
    QDateTime clockNow() const { return *moment; }

    TodoItemPtr find(const QString &title) { return only(context(), title); }

    std::shared_ptr<QDateTime> moment = std::make_shared<QDateTime>(now());
    RecordingWidgetHost host;
    WidgetSnapshotWriter widget{folder.path(), host, Clock([m = moment] { return *m; }), calendar};
    TaskEnvironment environment{Clock([m = moment] { return *m; }), calendar, &widget};
};

} // namespace qb::test
