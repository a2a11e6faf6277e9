#include "sync/syncaccount.h"

#include <QSettings>

namespace qb::sync {

namespace {
const QString group = QLatin1String(SyncAccount::settingsGroup);
}

SyncAccount SyncAccount::load(QSettings &settings) {
    settings.beginGroup(group);
    SyncAccount account;
    account.server = QUrl(settings.value(QStringLiteral("server")).toString());
    account.user = settings.value(QStringLiteral("user")).toString();
    account.collection = QUrl(settings.value(QStringLiteral("collection")).toString());
    account.listName = settings.value(QStringLiteral("list")).toString();
    settings.endGroup();
    return account;
}

void SyncAccount::save(QSettings &settings) const {
    settings.beginGroup(group);
    // The password lives only in the keyring, even one typed into an address.
    settings.setValue(QStringLiteral("server"), server.toString(QUrl::RemoveUserInfo));
    settings.setValue(QStringLiteral("user"), user);
    settings.setValue(QStringLiteral("collection"), collection.toString(QUrl::RemoveUserInfo));
    settings.setValue(QStringLiteral("list"), listName);
    settings.endGroup();
    settings.sync();
}

void SyncAccount::clear(QSettings &settings) {
    settings.remove(group);
    settings.sync();
}

} // namespace qb::sync
