#pragma once

#include <QList>

namespace qb {

// Whatever shows the Today widget on the desktop; told to reload after the snapshot changes.
class WidgetHost {
public:
    virtual ~WidgetHost() = default;
    virtual void reloadAllTimelines() = 0;
};

// For builds and tools with no desktop widget.
class NoWidgetHost final : public WidgetHost {
public:
    void reloadAllTimelines() override {}
};

// Several hosts behind one: the app's tray and its D-Bus signal. Hosts join and leave while
// the app runs (a host must leave before it is destroyed); each reload reaches the hosts
// present at that moment, in the order they joined.
class WidgetHostGroup final : public WidgetHost {
public:
    void add(WidgetHost *host) {
        if (host && !m_hosts.contains(host))
            m_hosts.append(host);
    }
    void remove(WidgetHost *host) { m_hosts.removeAll(host); }
    qsizetype size() const { return m_hosts.size(); }

    void reloadAllTimelines() override {
        // A copy: a host may make another leave while it reloads.
        const QList<WidgetHost *> hosts = m_hosts;
        for (WidgetHost *host : hosts) {
            if (m_hosts.contains(host))
                host->reloadAllTimelines();
        }
    }

private:
    QList<WidgetHost *> m_hosts;
};

} // namespace qb
