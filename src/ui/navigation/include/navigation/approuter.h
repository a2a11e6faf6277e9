#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace qb {

// Turns URLs the application is asked to open into a pending route. It only records and
// signals; the main window decides what a pending route does.
class AppRouter : public QObject {
    Q_OBJECT
    // For QML: the route as an int of Route, or undefined when none is pending.
    Q_PROPERTY(QVariant pendingRoute READ pendingRouteValue NOTIFY pendingRouteChanged)

public:
    enum class Route { Today, NewToday };
    Q_ENUM(Route)

    explicit AppRouter(QObject *parent = nullptr);

    std::optional<Route> pendingRoute() const { return m_pendingRoute; }
    void setPendingRoute(std::optional<Route> route);
    QVariant pendingRouteValue() const;

    // Host "new" or "today", matched exactly and case-sensitively; scheme, path, query and
    // fragment are not looked at. Any other URL leaves the pending route as it was.
    // Takes the URL as text because QUrl lower-cases hosts, and "Today" must not match.
    Q_INVOKABLE void handle(const QString &url);

    // The command-line arguments (program name first) that are URLs to open: those
    // containing "://", in order.
    static QStringList urlArguments(const QStringList &arguments);

signals:
    void pendingRouteChanged();

private:
    std::optional<Route> m_pendingRoute;
};

} // namespace qb
