#pragma once

#include <QObject>
#include <QString>

#include <qqmlregistration.h>

namespace qb {

// Key sequences written as this desktop writes them in menus ("Ctrl+Shift+N", "Del").
class KeySequences : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    // `portable` in Qt's portable form ("Ctrl+N"); empty for an empty or unreadable one.
    Q_INVOKABLE static QString nativeText(const QString &portable);
};

} // namespace qb
