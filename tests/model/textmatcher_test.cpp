#include "model/textmatcher.h"

#include "modeltest.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace qb {

void PrintTo(const TextMatcher::Range &range, std::ostream *out) {
    *out << '[' << range.start << ", +" << range.length << ']';
}

namespace {

using namespace Qt::Literals::StringLiterals;
using Range = TextMatcher::Range;

// Each line of the golden file is "locale | query | text | yes or no": whether the text is found
// for the query, ignoring case, accents and width as a user-facing search does, the same for the
// text as UTF-16 or as UTF-8. Its last lines have queries that letters beyond ASCII spell, and
// locales that tailor ASCII letters.
TEST(TextMatcher, findsTheQueryLikeAUserFacingSearch) {
    test::expectGolden(QB_MODEL_DATA "/matches.txt", 4, 1, [](const QStringList &fields) {
        const TextMatcher matcher(fields[1], fields[0]);
        const QByteArray utf8 = fields[2].toUtf8();
        const bool found = matcher.matches(fields[2]);
        EXPECT_EQ(matcher.matchesUtf8(utf8.constData(), utf8.size()), found) << utf8.constData();
        return found ? u"yes"_s : u"no"_s;
    });
    EXPECT_FALSE(TextMatcher(QString(), u"en_US"_s).matches(u"anything"_s));
    EXPECT_FALSE(TextMatcher(u"milk"_s, u"en_US"_s).matches(QString()));
}

// One matcher serves many texts, each searched on its own.
TEST(TextMatcher, rangesAreEveryMatchInUtf16Units) {
    const TextMatcher matcher(u"cafe"_s, u"en_US"_s);
    EXPECT_EQ(matcher.ranges(u"Le Caf\u00e9 et le CAFE"_s), (QList<Range>{{3, 4}, {14, 4}}));
    // The emoji before the match takes two UTF-16 units.
    EXPECT_EQ(matcher.ranges(u"\U0001F600 Caf\u00e9"_s), (QList<Range>{{3, 4}}));
    // A decomposed accent belongs to the match it follows.
    EXPECT_EQ(matcher.ranges(u"cafe\u0301 noir"_s), (QList<Range>{{0, 5}}));
    EXPECT_TRUE(matcher.ranges(u"tea"_s).isEmpty());
    // Matches do not overlap.
    EXPECT_EQ(TextMatcher(u"aa"_s, u"en_US"_s).ranges(u"aaaa"_s), (QList<Range>{{0, 2}, {2, 2}}));
    EXPECT_TRUE(matcher.matches(u"CAFE"_s));
    EXPECT_TRUE(TextMatcher(QString(), u"en_US"_s).ranges(u"anything"_s).isEmpty());
}

} // namespace
} // namespace qb

using qb::TextMatcher;

// The plain-ASCII shortcut must answer exactly as ICU does. A locale with no data of its own
// ("xx") gets the root collation and no shortcut, so it serves as the reference. Texts with
// letters beyond ASCII are first spelled as ASCII and only handed to the collator when the
// spelling contains the query, so those answers must still be the collator's own. Plain ASCII
// is scanned eight bytes at a time: texts up to 23 bytes put matches at every place in and
// across words, and '@' and '`' differ from 'A' and 'a' only in the bit that folds case, '['
// and '{' likewise.
TEST(TextMatcherAsciiShortcut, agreesWithTheCollatorOnRandomTexts) {
    using namespace Qt::Literals::StringLiterals;
    QRandomGenerator random(7);
    const QString ascii = QStringLiteral("aAbBcCeEfFiIlLoOsS ,.-'\t\n01@`[{");
    const QStringList others{
        u"\u00e9"_s,       u"\u00c9"_s, u"e\u0301"_s,     u"\u00df"_s, u"\u00e6"_s, u"\ufb01"_s,
        u"\u00ad"_s,       u"\u2192"_s, u"\u201c"_s,      u"\u4e2d"_s, u"\uff45"_s, u"\u0439"_s,
        u"\U0001F600"_s,   u"\u00f6"_s, u"\u0153"_s,      u"\u200b"_s, u"\u00b7"_s, u"\u0627"_s,
        u"\u0438\u0306"_s, u"\u1e9e"_s, u"\u0e40\u0e01"_s};
    const auto randomText = [&](int length, bool beyondAscii) {
        QString text;
        for (int i = 0; i < length; ++i) {
            if (beyondAscii && random.bounded(3) == 0)
                text.append(others.at(random.bounded(others.size())));
            else
                text.append(ascii.at(random.bounded(ascii.size())));
        }
        return text;
    };
    const QStringList spelled{u"e"_s,   u"se"_s, u"ss"_s, u"fi"_s, u"ae"_s, u"oe"_s,
                              u"a-e"_s, u"eo"_s, u"ef"_s, u"sa"_s, u"i i"_s};
    int matched = 0;
    int missed = 0;
    for (int round = 0; round < 600; ++round) {
        // Beyond ASCII, queries that letters such as "ß", "ﬁ" or "æ" spell.
        const bool beyondAscii = round % 2 == 1;
        const QString query = beyondAscii ? spelled.at(random.bounded(spelled.size()))
                                          : randomText(1 + random.bounded(3), false).trimmed();
        if (query.isEmpty())
            continue;
        const TextMatcher shortcut(query, QStringLiteral("en_US"));
        const TextMatcher reference(query, QStringLiteral("xx"));
        ASSERT_TRUE(shortcut.hasAsciiShortcut());
        ASSERT_FALSE(reference.hasAsciiShortcut());
        for (int i = 0; i < 10; ++i) {
            const QString text = randomText(random.bounded(24), beyondAscii);
            const bool expected = reference.matches(text);
            const QByteArray utf8 = text.toUtf8();
            SCOPED_TRACE("query \"" + query.toStdString() + "\" in \"" + text.toStdString() + '"');
            EXPECT_EQ(shortcut.matchesUtf8(utf8.constData(), utf8.size()), expected);
            EXPECT_EQ(shortcut.matches(text), expected);
            (expected ? matched : missed) += 1;
        }
    }
    // The comparison covered both outcomes, with and without letters beyond ASCII.
    EXPECT_GT(matched, 400);
    EXPECT_GT(missed, 400);
}

TEST(TextMatcherAsciiShortcut, isNotUsedWhereTheLocaleTailorsAsciiLetters) {
    EXPECT_FALSE(TextMatcher(QStringLiteral("aa"), QStringLiteral("da_DK")).hasAsciiShortcut());
    EXPECT_FALSE(TextMatcher(QStringLiteral("ch"), QStringLiteral("cs_CZ")).hasAsciiShortcut());
    EXPECT_FALSE(TextMatcher(QStringLiteral("i"), QStringLiteral("tr_TR")).hasAsciiShortcut());
    EXPECT_FALSE(TextMatcher(QStringLiteral("café"), QStringLiteral("en_US")).hasAsciiShortcut());
}

// The collator ignores a soft hyphen and control characters, so a scanned word holding one is
// not plain ASCII.
TEST(TextMatcherAsciiShortcut, findsQueriesAcrossCharactersTheCollatorIgnores) {
    using namespace Qt::Literals::StringLiterals;
    const TextMatcher fish(QStringLiteral("fish"), QStringLiteral("en_US"));
    for (const QString &text :
         {u"fi\u00adsh"_s, u"market: f\u0001ish and chips"_s, u"market: fi\u007fsh and chips"_s}) {
        const QByteArray utf8 = text.toUtf8();
        EXPECT_TRUE(fish.matchesUtf8(utf8.constData(), utf8.size())) << utf8.constData();
    }
}
