#include "clifixture.h"

using namespace Qt::Literals::StringLiterals;

using namespace qb::test;

using ListCommands = CliFixture;

// Later's rows that move are the undated ones; dated rows keep their day order on top.
TEST_F(ListCommands, listsFollowTheirDisplayOrdersAndReorderMovesOnlyMovableRows) {
    add(u"a"_s);
    add(u"b"_s);
    add(u"overdue"_s, {u"--date"_s, u"2020-05-01"_s});
    for (const QString &title : {u"x"_s, u"y"_s})
        add(title, {u"--later"_s});
    add(u"far"_s, {u"--date"_s, u"2040-01-01"_s});
    add(u"near"_s, {u"--date"_s, u"2039-01-01"_s});
    for (const QString &title : {u"done first"_s, u"done second"_s})
        json({u"complete"_s, add(title)});

    EXPECT_EQ(listed(u"today"_s), (QStringList{u"a"_s, u"b"_s, u"overdue"_s}));
    EXPECT_EQ(listed(u"later"_s), (QStringList{u"near"_s, u"far"_s, u"x"_s, u"y"_s}));
    EXPECT_EQ(listed(u"done"_s), (QStringList{u"done second"_s, u"done first"_s}));
    EXPECT_EQ(run({u"list"_s, u"today"_s}).text().count(u'\n'), 3);

    EXPECT_EQ(titles(json({u"reorder"_s, u"today"_s, u"0"_s, u"3"_s}).toArray()),
              (QStringList{u"b"_s, u"overdue"_s, u"a"_s}));
    EXPECT_EQ(titles(json({u"reorder"_s, u"later"_s, u"1"_s, u"0"_s}).toArray()),
              (QStringList{u"near"_s, u"far"_s, u"y"_s, u"x"_s}));
    EXPECT_EQ(run({u"reorder"_s, u"later"_s, u"2"_s, u"0"_s}).status, 1);
}

// Order and status words are the store's; the client prints them with ranges in code points.
TEST_F(ListCommands, searchPrintsStatusAndMatchRangesInCodePoints) {
    add(u"😀 Café and CAFE"_s, {u"--later"_s});
    add(u"unrelated"_s);

    const QJsonArray found = json({u"search"_s, u"  cafe "_s}).toArray();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0][u"status"].toString(), u"Later"_s);
    // The emoji is one code point (two UTF-16 units): "Café" starts at 2, "CAFE" at 11.
    EXPECT_EQ(found[0][u"titleMatches"].toArray(),
              (QJsonArray{QJsonArray{2, 4}, QJsonArray{11, 4}}));
}

using IdNames = CliFixture;

TEST_F(IdNames, acceptFullIdsAndUniquePrefixesOnly) {
    const QString one = u"ABCD0000-0000-4000-8000-000000000001"_s;
    const QString two = u"abcd1111-0000-4000-8000-000000000002"_s;
    const QByteArray file = exportFile(
        {todoText(one.toLatin1(), {}, {}, "one"), todoText(two.toLatin1(), {}, {}, "two")});
    ASSERT_EQ(run({u"import"_s, writeFile(u"ids.json"_s, file)}).status, 0);
    // Letter case and prefixes are the store's matching; the client only passes names on.
    EXPECT_EQ(json({u"show"_s, u"abcd0"_s})[u"title"], u"one"_s);
    EXPECT_EQ(json({u"show"_s, two})[u"title"], u"two"_s);

    EXPECT_TRUE(failed(run({u"show"_s, u"abcd"_s}), 1, "ambiguous"));
    for (const QString &name :
         {u"abc"_s, u"ffff"_s, u"abcd%"_s, u"abcd0_"_s, u"ABCD0000-0000-4000-8000-0000000000011"_s})
        EXPECT_TRUE(failed(run({u"show"_s, name}), 1)) << name.toStdString();
}
