#include "preferences/effectivecolorscheme.h"

#include "preferences/desktopcolorschemesource.h"
#include "preferences/preferences.h"

namespace qb {

EffectiveColorScheme::EffectiveColorScheme(Preferences *preferences,
                                           DesktopColorSchemeSource *desktop, QObject *parent)
    : QObject(parent)
    , m_preferences(preferences)
    , m_desktop(desktop) {
    if (m_preferences)
        connect(m_preferences, &Preferences::appearanceChanged, this,
                &EffectiveColorScheme::update);
    if (m_desktop)
        connect(m_desktop, &DesktopColorSchemeSource::colorSchemeChanged, this,
                &EffectiveColorScheme::update);
    m_scheme = computed();
}

void EffectiveColorScheme::setUndecidedScheme(ColorScheme scheme) {
    if (scheme == m_undecided)
        return;
    m_undecided = scheme;
    update();
}

ColorScheme EffectiveColorScheme::computed() const {
    const Appearance appearance = m_preferences ? m_preferences->appearance() : Appearance::System;
    const DesktopColorScheme desktop =
        m_desktop ? m_desktop->colorScheme() : DesktopColorScheme::Unknown;
    return effectiveColorScheme(appearance, desktop, m_undecided);
}

void EffectiveColorScheme::update() {
    const ColorScheme scheme = computed();
    if (scheme == m_scheme)
        return;
    m_scheme = scheme;
    emit colorSchemeChanged();
}

} // namespace qb
