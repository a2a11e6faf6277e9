#pragma once

#include "app/formatter.h"
#include "tasks/taskenvironment.h"
#include "tasks/taskstore.h"

#include <QDateTime>
#include <QObject>

#include <qqmlregistration.h>

#include <memory>

namespace qb {

class ModelContext;
class SingleShotTimer;

// The user's clock and calendar, the widget refresh every save runs, and the current day. The
// day is re-read when the application becomes active and at each midnight, so lists, headings
// and overdue marks move on without a restart.
class Environment : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the environment")
    // The start of the current day.
    Q_PROPERTY(QDateTime today READ today NOTIFY todayChanged)
    // The user's locale ("en_US"), for calendar grids.
    Q_PROPERTY(QString localeName READ localeName CONSTANT)

public:
    // `dayTimer` wakes the environment at the next midnight.
    Environment(TaskEnvironment tasks, std::unique_ptr<SingleShotTimer> dayTimer,
                QObject *parent = nullptr);
    ~Environment() override;

    const TaskEnvironment &tasks() const { return m_tasks; }
    const Calendar &calendar() const { return m_tasks.calendar; }
    QDateTime now() const { return m_tasks.clock.now(); }
    QDateTime today() const { return m_today; }
    QString localeName() const { return m_tasks.calendar.localeId(); }
    Formatter formatter() const { return Formatter(m_tasks.calendar, now()); }
    TaskStore taskStore(ModelContext &context) const { return TaskStore(context, m_tasks); }

    // Reads the day again; `todayChanged` only when it moved, `refreshed` always (relative
    // times read differently by now).
    void refresh();

signals:
    void todayChanged();
    void refreshed();

private:
    void waitForMidnight();

    TaskEnvironment m_tasks;
    std::unique_ptr<SingleShotTimer> m_dayTimer;
    QDateTime m_today;
};

} // namespace qb
