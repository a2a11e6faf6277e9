#pragma once

#include <QObject>
#include <QPointer>

namespace qb {

// Replaces a dependency a view model was handed; false when it already holds that one.
template <typename T> bool replaceDependency(QPointer<T> &held, T *value) {
    if (held == value)
        return false;
    held = value;
    return true;
}

// The same for a dependency whose signals `receiver` follows: those connections are dropped.
template <typename T> bool replaceFollowed(QPointer<T> &held, T *value, QObject *receiver) {
    if (held == value)
        return false;
    if (held)
        QObject::disconnect(held, nullptr, receiver, nullptr);
    held = value;
    return true;
}

} // namespace qb
