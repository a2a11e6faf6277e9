#pragma once

#include "base/enumcases.h"

namespace qb {

// The colour appearance preference. System follows the desktop's light or dark setting.
enum class Appearance { System, Light, Dark };

template <> struct EnumTable<Appearance> {
    static constexpr std::array<EnumCase<Appearance>, 3> cases{{
        {Appearance::System, u"system", u"System"},
        {Appearance::Light, u"light", u"Light"},
        {Appearance::Dark, u"dark", u"Dark"},
    }};
};

inline constexpr auto allAppearances = allCases<Appearance>();

} // namespace qb
