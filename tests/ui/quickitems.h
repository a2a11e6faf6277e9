#pragma once

#include <QQuickItem>

namespace qb::test {

// The item named `name` in the tree under `root` (itself included); null when there is none.
inline QQuickItem *findItem(QQuickItem *root, const QString &name) {
    if (!root)
        return nullptr;
    if (root->objectName() == name)
        return root;
    for (QQuickItem *child : root->childItems()) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

// The delegate a ListView shows for row `index`; null while it is not made.
inline QQuickItem *rowAt(QQuickItem *view, int index) {
    QQuickItem *row = nullptr;
    QMetaObject::invokeMethod(view, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, row),
                              Q_ARG(int, index));
    return row;
}

} // namespace qb::test
