#pragma once

#include "preferences/colorscheme.h"

#include <QObject>
#include <QPointer>

namespace qb {

class DesktopColorSchemeSource;
class Preferences;

// The light/dark choice the windows apply: the appearance preference combined with the
// desktop's setting, kept current as either changes.
class EffectiveColorScheme : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool dark READ isDark NOTIFY colorSchemeChanged)

public:
    // Neither argument is owned; a null source counts as a desktop that cannot be asked.
    EffectiveColorScheme(Preferences *preferences, DesktopColorSchemeSource *desktop,
                         QObject *parent = nullptr);

    ColorScheme colorScheme() const { return m_scheme; }
    bool isDark() const { return m_scheme == ColorScheme::Dark; }

    // What System shows when the desktop states no preference, e.g. from the UI's palette.
    void setUndecidedScheme(ColorScheme scheme);

signals:
    void colorSchemeChanged();

private:
    ColorScheme computed() const;
    void update();

    QPointer<Preferences> m_preferences;
    QPointer<DesktopColorSchemeSource> m_desktop;
    ColorScheme m_undecided = ColorScheme::Light;
    ColorScheme m_scheme = ColorScheme::Light;
};

} // namespace qb
