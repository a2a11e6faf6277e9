#pragma once

#include "base/enumcases.h"

namespace qb {

// The "Open to" preference, edited in the settings window.
enum class OpenTo { LastUsed, Today, Later };

template <> struct EnumTable<OpenTo> {
    static constexpr std::array<EnumCase<OpenTo>, 3> cases{{
        {OpenTo::LastUsed, u"lastUsed", u"Last used"},
        {OpenTo::Today, u"today", u"Today"},
        {OpenTo::Later, u"later", u"Later"},
    }};
};

inline constexpr auto allOpenTos = allCases<OpenTo>();

} // namespace qb
