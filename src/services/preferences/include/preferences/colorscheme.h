#pragma once

#include "preferences/appearance.h"

namespace qb {

enum class ColorScheme { Light, Dark };

// What the desktop says about light and dark. Unknown when nothing could be asked (no settings
// portal); NoPreference when the desktop was asked and leaves the choice to the application.
enum class DesktopColorScheme { Unknown, NoPreference, PreferLight, PreferDark };

// The scheme a window shows. Light and Dark are fixed; System follows the desktop's explicit
// preference and otherwise uses `undecided` (the UI passes what its palette suggests).
ColorScheme effectiveColorScheme(Appearance appearance, DesktopColorScheme desktop,
                                 ColorScheme undecided = ColorScheme::Light);

} // namespace qb
