#include "navigation/approuter.h"

#include <QRegularExpression>

namespace qb {

AppRouter::AppRouter(QObject *parent)
    : QObject(parent) {}

void AppRouter::setPendingRoute(std::optional<Route> route) {
    if (route == m_pendingRoute)
        return;
    m_pendingRoute = route;
    emit pendingRouteChanged();
}

QVariant AppRouter::pendingRouteValue() const {
    return m_pendingRoute ? QVariant::fromValue(static_cast<int>(*m_pendingRoute)) : QVariant();
}

namespace {

// The host of "scheme://[userinfo@]host[:port]/...", exactly as written; empty without one.
QString hostAsWritten(const QString &url) {
    static const QRegularExpression authority(
        QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://([^/?#]*)"));
    const QRegularExpressionMatch match = authority.match(url);
    if (!match.hasMatch())
        return {};
    QString host = match.captured(1);
    host = host.mid(host.lastIndexOf(u'@') + 1);
    if (host.startsWith(u'['))
        return host.left(host.indexOf(u']') + 1);
    return host.left(host.indexOf(u':'));
}

} // namespace

QStringList AppRouter::urlArguments(const QStringList &arguments) {
    QStringList urls;
    for (const QString &argument : arguments.mid(1)) {
        if (argument.contains(u"://"))
            urls.append(argument);
    }
    return urls;
}

void AppRouter::handle(const QString &url) {
    const QString host = hostAsWritten(url);
    if (host == u"new")
        setPendingRoute(Route::NewToday);
    else if (host == u"today")
        setPendingRoute(Route::Today);
}

} // namespace qb
