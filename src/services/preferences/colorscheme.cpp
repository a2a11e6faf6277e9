#include "preferences/colorscheme.h"

namespace qb {

ColorScheme effectiveColorScheme(Appearance appearance, DesktopColorScheme desktop,
                                 ColorScheme undecided) {
    switch (appearance) {
    case Appearance::Light:
        return ColorScheme::Light;
    case Appearance::Dark:
        return ColorScheme::Dark;
    case Appearance::System:
        break;
    }
    switch (desktop) {
    case DesktopColorScheme::PreferLight:
        return ColorScheme::Light;
    case DesktopColorScheme::PreferDark:
        return ColorScheme::Dark;
    case DesktopColorScheme::Unknown:
    case DesktopColorScheme::NoPreference:
        break;
    }
    return undecided;
}

} // namespace qb
