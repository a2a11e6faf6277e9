#include "preferences/appearance.h"
#include "preferences/apptab.h"
#include "preferences/colorscheme.h"
#include "preferences/opento.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qb;

namespace {

// The stored strings are a file format: a typo here would silently reset users' choices.
template <typename Enum> QStringList rawsReadingBack() {
    QStringList raws;
    for (Enum value : allCases<Enum>()) {
        raws << rawValue(value);
        EXPECT_EQ(caseFromRaw<Enum>(rawValue(value)), value);
    }
    return raws;
}

} // namespace

TEST(PreferenceCases, storedStringsReadBackExactlyAndNothingElseDoes) {
    EXPECT_EQ(rawsReadingBack<Appearance>(), QStringList({"system", "light", "dark"}));
    EXPECT_EQ(rawsReadingBack<OpenTo>(), QStringList({"lastUsed", "today", "later"}));
    EXPECT_EQ(rawsReadingBack<AppTab>(), QStringList({"today", "later", "done"}));
    for (const char *raw : {"", "DARK", " dark", "lastused", "done "})
        EXPECT_FALSE(caseFromRaw<AppTab>(QString::fromLatin1(raw)).has_value()) << raw;
}

TEST(EffectiveColorScheme, combinesPreferenceAndDesktop) {
    using A = Appearance;
    using D = DesktopColorScheme;
    using S = ColorScheme;
    const struct {
        Appearance appearance;
        DesktopColorScheme desktop;
        ColorScheme undecided, expected;
    } cases[] = {
        // Fixed appearances ignore the desktop entirely.
        {A::Light, D::PreferDark, S::Dark, S::Light},
        {A::Dark, D::PreferLight, S::Light, S::Dark},
        // System follows an explicit desktop preference over the undecided fallback.
        {A::System, D::PreferDark, S::Light, S::Dark},
        {A::System, D::PreferLight, S::Dark, S::Light},
        // No portal or no preference: the fallback decides.
        {A::System, D::Unknown, S::Light, S::Light},
        {A::System, D::Unknown, S::Dark, S::Dark},
        {A::System, D::NoPreference, S::Dark, S::Dark},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(effectiveColorScheme(c.appearance, c.desktop, c.undecided), c.expected)
            << rawValue(c.appearance).toStdString() << " on desktop " << int(c.desktop);
    }
}
