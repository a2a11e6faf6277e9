#include "preferences/appearance.h"
#include "preferences/apptab.h"
#include "preferences/colorscheme.h"
#include "preferences/opento.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qb;

namespace {

struct Columns {
    QStringList raws, titles, symbols;
};

// The stored strings are a file format: a typo here would silently reset users' choices.
template <typename Enum> Columns columnsOf() {
    Columns columns;
    for (Enum value : allCases<Enum>()) {
        columns.raws << rawValue(value);
        columns.titles << title(value);
        columns.symbols << symbolName(value);
        EXPECT_EQ(caseFromRaw<Enum>(rawValue(value)), value);
    }
    return columns;
}

} // namespace

TEST(PreferenceCases, tablesListRawValuesTitlesAndSymbolsInCaseOrder) {
    const Columns appearance = columnsOf<Appearance>();
    EXPECT_EQ(appearance.raws, QStringList({"system", "light", "dark"}));
    EXPECT_EQ(appearance.titles, QStringList({"System", "Light", "Dark"}));
    const Columns openTo = columnsOf<OpenTo>();
    EXPECT_EQ(openTo.raws, QStringList({"lastUsed", "today", "later"}));
    EXPECT_EQ(openTo.titles, QStringList({"Last used", "Today", "Later"}));
    const Columns tabs = columnsOf<AppTab>();
    EXPECT_EQ(tabs.raws, QStringList({"today", "later", "done"}));
    EXPECT_EQ(tabs.titles, QStringList({"Today", "Later", "Done"}));
    EXPECT_EQ(tabs.symbols, QStringList({"sun.horizon.fill", "tray.full", "checkmark.circle"}));
    EXPECT_EQ(allAppTabs.front(), AppTab::Today);
}

TEST(PreferenceCases, unknownRawStringsYieldNoValue) {
    for (const char *raw : {"", "System", "DARK", " dark", "lastused", "Today", "done "}) {
        const QString text = QString::fromLatin1(raw);
        EXPECT_FALSE(caseFromRaw<Appearance>(text).has_value()) << raw;
        EXPECT_FALSE(caseFromRaw<OpenTo>(text).has_value()) << raw;
        EXPECT_FALSE(caseFromRaw<AppTab>(text).has_value()) << raw;
    }
}

struct SchemeCase {
    Appearance appearance;
    DesktopColorScheme desktop;
    ColorScheme undecided;
    ColorScheme expected;
};

class EffectiveColorSchemeTable : public ::testing::TestWithParam<SchemeCase> {};

TEST_P(EffectiveColorSchemeTable, combinesPreferenceAndDesktop) {
    const SchemeCase &c = GetParam();
    EXPECT_EQ(effectiveColorScheme(c.appearance, c.desktop, c.undecided), c.expected);
}

using A = Appearance;
using D = DesktopColorScheme;
using S = ColorScheme;
INSTANTIATE_TEST_SUITE_P(
    All, EffectiveColorSchemeTable,
    ::testing::Values(
        // Fixed appearances ignore the desktop entirely.
        SchemeCase{A::Light, D::PreferDark, S::Dark, S::Light},
        SchemeCase{A::Dark, D::PreferLight, S::Light, S::Dark},
        SchemeCase{A::Dark, D::Unknown, S::Light, S::Dark},
        // System follows an explicit desktop preference over the undecided fallback.
        SchemeCase{A::System, D::PreferDark, S::Light, S::Dark},
        SchemeCase{A::System, D::PreferLight, S::Dark, S::Light},
        // No portal or no preference: the fallback decides.
        SchemeCase{A::System, D::Unknown, S::Light, S::Light},
        SchemeCase{A::System, D::Unknown, S::Dark, S::Dark},
        SchemeCase{A::System, D::NoPreference, S::Dark, S::Dark}));
