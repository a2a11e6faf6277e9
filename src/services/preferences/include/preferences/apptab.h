#pragma once

#include "base/enumcases.h"

namespace qb {

// The perspectives of a main window's sidebar, in sidebar order.
enum class AppTab { Today, Later, Done };

template <> struct EnumTable<AppTab> {
    static constexpr std::array<EnumCase<AppTab>, 3> cases{{
        {AppTab::Today, u"today", u"Today", u"sun.horizon.fill"},
        {AppTab::Later, u"later", u"Later", u"tray.full"},
        {AppTab::Done, u"done", u"Done", u"checkmark.circle"},
    }};
};

inline constexpr auto allAppTabs = allCases<AppTab>();

} // namespace qb
