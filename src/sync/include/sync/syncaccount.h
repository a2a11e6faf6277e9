#pragma once

#include <QString>
#include <QUrl>

class QSettings;

namespace qb::sync {

// The account in the preferences file: where the list is and who signs in. Never the password,
// which only the keyring keeps.
struct SyncAccount {
    QUrl server; // what the user typed: a server or a collection
    QString user;
    QUrl collection;
    QString listName;

    // The preferences group the account is kept in.
    static constexpr auto settingsGroup = "sync";

    bool isConfigured() const { return collection.isValid() && !user.isEmpty(); }
    // The name the password is kept under in the keyring.
    QString keyringKey() const { return user + u'@' + collection.toString(); }

    static SyncAccount load(QSettings &settings);
    void save(QSettings &settings) const;
    static void clear(QSettings &settings);
};

inline constexpr auto defaultListName = "Quill Brook";

} // namespace qb::sync
