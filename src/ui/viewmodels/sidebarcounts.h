#pragma once

#include <QObject>
#include <QPointer>

#include <qqmlregistration.h>

#include "app/environment.h"
#include "store/modelcontext.h"

namespace qb {

class Environment;
class ModelContext;

// The sidebar's badges: open to-dos in Today (overdue included) and in Later, for the
// environment's day. Counted by the store, re-counted after every change and on a new day.
class SidebarCounts : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qb::ModelContext *context READ context WRITE setContext NOTIFY dependenciesChanged)
    Q_PROPERTY(qb::Environment *environment READ environment WRITE setEnvironment NOTIFY
                   dependenciesChanged)
    Q_PROPERTY(int today READ today NOTIFY countsChanged)
    Q_PROPERTY(int later READ later NOTIFY countsChanged)

public:
    explicit SidebarCounts(QObject *parent = nullptr);

    ModelContext *context() const { return m_context; }
    void setContext(ModelContext *context);
    Environment *environment() const { return m_environment; }
    void setEnvironment(Environment *environment);
    int today() const { return m_today; }
    int later() const { return m_later; }

signals:
    void dependenciesChanged();
    void countsChanged();

private:
    void recount();

    QPointer<ModelContext> m_context;
    QPointer<Environment> m_environment;
    int m_today = 0;
    int m_later = 0;
};

} // namespace qb
