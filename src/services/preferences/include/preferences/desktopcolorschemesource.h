#pragma once

#include "preferences/colorscheme.h"

#include <QObject>

namespace qb {

// Where the desktop's light/dark preference comes from. The platform layer implements it over
// the settings portal; tests use a fake.
class DesktopColorSchemeSource : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual DesktopColorScheme colorScheme() const = 0;

signals:
    void colorSchemeChanged();
};

} // namespace qb
