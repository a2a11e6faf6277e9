#include "clifixture.h"

using namespace qb::test;

namespace {

// A minimal export holding to-dos with chosen ids and fields.
QByteArray exportOf(const QList<QJsonObject> &todos) {
    QJsonArray list;
    for (QJsonObject todo : todos) {
        const QJsonObject defaults{
            {QStringLiteral("title"), QStringLiteral("t")},
            {QStringLiteral("notes"), QString()},
            {QStringLiteral("isCompleted"), false},
            {QStringLiteral("completedAt"), QJsonValue::Null},
            {QStringLiteral("scheduledDate"), QJsonValue::Null},
            {QStringLiteral("listRaw"), QStringLiteral("later")},
            {QStringLiteral("sortOrder"), 1},
            {QStringLiteral("createdAt"), QStringLiteral("2024-01-01T09:00:00.000-05:00")},
            {QStringLiteral("recurrenceRuleRaw"), QJsonValue::Null},
            {QStringLiteral("subtasks"), QJsonArray()},
            {QStringLiteral("changes"), QJsonArray()}};
        for (auto it = defaults.begin(); it != defaults.end(); ++it) {
            if (!todo.contains(it.key()))
                todo.insert(it.key(), it.value());
        }
        list.append(todo);
    }
    return QJsonDocument(
               QJsonObject{{QStringLiteral("formatVersion"), 1}, {QStringLiteral("todos"), list}})
        .toJson();
}

QJsonObject todoWith(const QString &id, const QString &title) {
    return {{QStringLiteral("id"), id}, {QStringLiteral("title"), title}};
}

} // namespace

using ListCommands = CliFixture;

TEST_F(ListCommands, todayLaterAndDoneFollowTheirDisplayOrders) {
    add(QStringLiteral("first today"));
    add(QStringLiteral("overdue"), {QStringLiteral("--date"), QStringLiteral("2020-05-01")});
    add(QStringLiteral("undated"), {QStringLiteral("--later")});
    add(QStringLiteral("far"), {QStringLiteral("--date"), QStringLiteral("2040-01-01")});
    add(QStringLiteral("near"), {QStringLiteral("--date"), QStringLiteral("2039-01-01")});
    const QString a = add(QStringLiteral("done first"));
    const QString b = add(QStringLiteral("done second"));
    json({QStringLiteral("complete"), a});
    json({QStringLiteral("complete"), b});

    EXPECT_EQ(titles(json({QStringLiteral("list"), QStringLiteral("today")}).toArray()),
              (QStringList{QStringLiteral("first today"), QStringLiteral("overdue")}));
    EXPECT_EQ(
        titles(json({QStringLiteral("list"), QStringLiteral("later")}).toArray()),
        (QStringList{QStringLiteral("near"), QStringLiteral("far"), QStringLiteral("undated")}));
    EXPECT_EQ(titles(json({QStringLiteral("list"), QStringLiteral("done")}).toArray()),
              (QStringList{QStringLiteral("done second"), QStringLiteral("done first")}));
    EXPECT_EQ(run({QStringLiteral("list"), QStringLiteral("today")}).text().count(u'\n'), 2);
}

TEST_F(ListCommands, reorderMovesAShownRowAndOnlyUndatedRowsInLater) {
    for (const char *title : {"a", "b", "c"})
        add(QString::fromLatin1(title));
    const QJsonArray moved = json({QStringLiteral("reorder"), QStringLiteral("today"),
                                   QStringLiteral("0"), QStringLiteral("3")})
                                 .toArray();
    EXPECT_EQ(titles(moved),
              (QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}));

    // Later's rows that move are the undated ones; dated rows keep their day order on top.
    add(QStringLiteral("dated"), {QStringLiteral("--date"), QStringLiteral("2039-01-01")});
    add(QStringLiteral("x"), {QStringLiteral("--later")});
    add(QStringLiteral("y"), {QStringLiteral("--later")});
    EXPECT_EQ(titles(json({QStringLiteral("reorder"), QStringLiteral("later"), QStringLiteral("1"),
                           QStringLiteral("0")})
                         .toArray()),
              (QStringList{QStringLiteral("dated"), QStringLiteral("y"), QStringLiteral("x")}));
    EXPECT_EQ(run({QStringLiteral("reorder"), QStringLiteral("later"), QStringLiteral("2"),
                   QStringLiteral("0")})
                  .status,
              1);
}

// Order and status words are the store's; the client prints them with ranges in code points.
TEST_F(ListCommands, searchPrintsStatusAndMatchRangesInCodePoints) {
    add(QStringLiteral("😀 Café and CAFE"), {QStringLiteral("--later")});
    add(QStringLiteral("unrelated"));

    const QJsonArray found = json({QStringLiteral("search"), QStringLiteral("  cafe ")}).toArray();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].toObject().value(QStringLiteral("status")).toString(),
              QStringLiteral("Later"));
    // The emoji is one code point (two UTF-16 units): "Café" starts at 2, "CAFE" at 11.
    EXPECT_EQ(found[0].toObject().value(QStringLiteral("titleMatches")).toArray(),
              (QJsonArray{QJsonArray{2, 4}, QJsonArray{11, 4}}));
}

using IdNames = CliFixture;

TEST_F(IdNames, acceptFullIdsInAnyCaseAndUniquePrefixesOnly) {
    const CliRun imported =
        run({QStringLiteral("import"),
             writeFile(QStringLiteral("ids.json"),
                       exportOf({todoWith(QStringLiteral("ABCD0000-0000-4000-8000-000000000001"),
                                          QStringLiteral("one")),
                                 todoWith(QStringLiteral("abcd1111-0000-4000-8000-000000000002"),
                                          QStringLiteral("two"))}))});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();

    const auto titleOf = [&](const QString &name) {
        return json({QStringLiteral("show"), name})
            .toObject()
            .value(QStringLiteral("title"))
            .toString();
    };
    EXPECT_EQ(titleOf(QStringLiteral("abcd0")), QStringLiteral("one"));
    EXPECT_EQ(titleOf(QStringLiteral("ABCD1")), QStringLiteral("two"));
    EXPECT_EQ(titleOf(QStringLiteral("abcd1111-0000-4000-8000-000000000002")),
              QStringLiteral("two"));
    EXPECT_EQ(titleOf(QStringLiteral("ABCD0000-0000-4000-8000-000000000001")),
              QStringLiteral("one"));

    for (const QString &name :
         {QStringLiteral("abcd"), QStringLiteral("abc"), QStringLiteral("ffff"),
          QStringLiteral("abcd%"), QStringLiteral("ABCD0000-0000-4000-8000-0000000000011")}) {
        const CliRun result = run({QStringLiteral("show"), name});
        EXPECT_EQ(result.status, 1) << name.toStdString();
        EXPECT_TRUE(result.err.startsWith("quillbrook-cli: ")) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
    EXPECT_TRUE(run({QStringLiteral("show"), QStringLiteral("abcd")}).err.contains("ambiguous"));
}
