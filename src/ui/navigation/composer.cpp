#include "navigation/composer.h"

namespace qb {

Composer::Composer(QObject *parent)
    : QObject(parent) {}

void Composer::setAddingTo(std::optional<TodoList> list) {
    if (list == m_addingTo)
        return;
    m_addingTo = list;
    emit addingToChanged();
}

QString Composer::addingToRaw() const {
    return m_addingTo ? rawValue(*m_addingTo) : QString();
}

void Composer::setAddingToRaw(const QString &raw) {
    setAddingTo(todoListFromRaw(raw));
}

} // namespace qb
