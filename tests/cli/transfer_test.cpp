#include "clifixture.h"

using namespace qb::test;

using Transfer = CliFixture;

TEST_F(Transfer, exportImportExportIntoAnEmptyStoreIsIdentical) {
    const QString plain = add(QStringLiteral("Plain"));
    const QString rich = add(QStringLiteral("Zoë's 😀 \"rich\" one"),
                             {QStringLiteral("--date"), QStringLiteral("2030-03-10")});
    json({QStringLiteral("notes"), rich, QStringLiteral("-")},
         QByteArray("multi\nline\tnotes \\ \x01"));
    json({QStringLiteral("repeat"), rich,
          QStringLiteral(R"({"frequency":"monthly","weekdays":[],"lastDay":true})")});
    const QString step =
        json({QStringLiteral("subtask"), QStringLiteral("add"), rich, QStringLiteral("b")})
            .toObject()
            .value(QStringLiteral("id"))
            .toString();
    json({QStringLiteral("subtask"), QStringLiteral("insert"), rich, step, QStringLiteral("c")});
    json({QStringLiteral("subtask"), QStringLiteral("toggle"), step});
    json({QStringLiteral("rename"), rich, QStringLiteral("Renamed rich")});
    json({QStringLiteral("complete"), plain}); // a to-do with completedAt
    add(QString(), {QStringLiteral("--later")});
    add(QStringLiteral("Undated"), {QStringLiteral("--later")});
    json({QStringLiteral("reorder"), QStringLiteral("later"), QStringLiteral("0"),
          QStringLiteral("2")});

    const QByteArray first = exportText();
    const QJsonObject document = QJsonDocument::fromJson(first).object();
    EXPECT_EQ(document.value(QStringLiteral("formatVersion")).toInt(), 1);
    EXPECT_EQ(document.value(QStringLiteral("todos")).toArray().size(), 4);

    const CliClient other; // a second, empty store
    const CliRun imported = other.run({QStringLiteral("--json"), QStringLiteral("import"),
                                       writeFile(QStringLiteral("export.json"), first)});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.object(),
              (QJsonObject{{QStringLiteral("imported"), 4}, {QStringLiteral("skipped"), 0}}));
    EXPECT_EQ(other.exportText(), first);

    // Importing the same file again adds nothing and counts every to-do as skipped.
    EXPECT_EQ(
        other.json({QStringLiteral("import"), writeFile(QStringLiteral("export.json"), first)})
            .toObject(),
        (QJsonObject{{QStringLiteral("imported"), 0}, {QStringLiteral("skipped"), 4}}));
    EXPECT_EQ(other.exportText(), first);
}

TEST_F(Transfer, everyDayFromYearOneToNineThousandNineHundredNinetyNineRoundTrips) {
    // Around the Julian switch-over too: the days are stored as typed, with New York's local
    // mean time (-04:56:02) written to the second.
    const QStringList days{QStringLiteral("0001-01-01"), QStringLiteral("1582-10-04"),
                           QStringLiteral("1582-10-05"), QStringLiteral("1582-10-10"),
                           QStringLiteral("1582-10-15"), QStringLiteral("1883-11-18"),
                           QStringLiteral("9999-12-31")};
    for (const QString &day : days) {
        const QString id = add(day, {QStringLiteral("--date"), day});
        const QString stored =
            json({QStringLiteral("show"), id}).toObject().value("scheduledDate").toString();
        EXPECT_TRUE(stored.startsWith(day + QStringLiteral("T00:00:00.000-0")))
            << stored.toStdString();
    }
    EXPECT_EQ(json({QStringLiteral("list"), QStringLiteral("today")})
                  .toArray()
                  .first()
                  .toObject()
                  .value("scheduledDate")
                  .toString(),
              QStringLiteral("0001-01-01T00:00:00.000-04:56:02"));
    // A daily rule at the last day stays there rather than leaving the range.
    EXPECT_EQ(run({QStringLiteral("rule"), QStringLiteral("next"),
                   QStringLiteral(R"({"frequency":"daily","weekdays":[],"lastDay":false})"),
                   QStringLiteral("--from"), QStringLiteral("9999-12-31")})
                  .text(),
              QStringLiteral("9999-12-31T00:00:00.000-05:00\n"));

    const QByteArray exported = exportText();
    const CliClient other;
    ASSERT_EQ(
        other.run({QStringLiteral("import"), writeFile(QStringLiteral("e.json"), exported)}).status,
        0);
    EXPECT_EQ(other.exportText(), exported);

    // Outside the range, nothing comes in.
    const QList<QStringList> refused{
        {QStringLiteral("add"), QStringLiteral("--date"), QStringLiteral("0000-12-31"),
         QStringLiteral("x")},
        {QStringLiteral("rule"), QStringLiteral("next"),
         QStringLiteral(R"({"frequency":"daily","weekdays":[],"lastDay":false})"),
         QStringLiteral("--from"), QStringLiteral("0000-06-01T12:00:00Z")},
    };
    for (const QStringList &args : refused) {
        const CliRun result = run(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.err.contains("1 to 9999")) << result.err.toStdString();
    }
    for (const QByteArray &moment : {QByteArrayLiteral("0000-12-31T23:00:00.000Z"),
                                     QByteArrayLiteral("9999-12-31T23:59:59.999-10:00")}) {
        QByteArray file = exported;
        file.replace(exported.mid(exported.indexOf("\"createdAt\": \"") + 14, 29), moment);
        const CliRun result =
            other.run({QStringLiteral("import"), writeFile(QStringLiteral("far.json"), file)});
        EXPECT_EQ(result.status, 1) << moment.toStdString();
        EXPECT_TRUE(result.err.contains("createdAt: expected a date-time in the years 1 to 9999"))
            << result.err.toStdString();
    }
    EXPECT_EQ(other.exportText(), exported);
}

TEST_F(Transfer, importKeepsUnknownKindsAndListsVerbatimAndIgnoresDerivedFields) {
    const QByteArray file = R"({"formatVersion": 1, "todos": [{
        "id": "0f0f0f0f-1111-4222-8333-444455556666", "title": "Old", "displayTitle": "ignored",
        "notes": "  ", "isCompleted": false, "completedAt": null,
        "scheduledDate": "2031-02-03T05:00:00Z", "listRaw": "inbox", "sortOrder": 2.5,
        "createdAt": "2020-01-01T00:00:00.001+01:00", "recurrenceRuleRaw": "{broken",
        "repeat": "ignored", "hasNotes": true, "subtaskProgress": [9, 9],
        "subtasks": [],
        "changes": [
          {"id": "aaaaaaaa-1111-4222-8333-444455556666", "kindRaw": "teleported",
           "kindTitle": "ignored", "detail": "to Mars", "timestamp": "2020-01-02T00:00:00.000-05:00"},
          {"id": "bbbbbbbb-1111-4222-8333-444455556666", "kindRaw": "movedToToday",
           "detail": null, "timestamp": "2020-01-01T00:00:00.000-05:00"}]}]})";
    ASSERT_EQ(run({QStringLiteral("import"), writeFile(QStringLiteral("old.json"), file)}).status,
              0);
    const QJsonObject shown = json({QStringLiteral("show"), QStringLiteral("0F0F0F0F")}).toObject();
    EXPECT_EQ(shown.value(QStringLiteral("listRaw")).toString(), QStringLiteral("inbox"));
    EXPECT_EQ(shown.value(QStringLiteral("displayTitle")).toString(), QStringLiteral("Old"));
    EXPECT_FALSE(shown.value(QStringLiteral("hasNotes")).toBool());
    EXPECT_EQ(shown.value(QStringLiteral("sortOrder")).toDouble(), 2.5);
    EXPECT_EQ(shown.value(QStringLiteral("scheduledDate")).toString(),
              QStringLiteral("2031-02-03T00:00:00.000-05:00"));
    EXPECT_EQ(shown.value(QStringLiteral("createdAt")).toString(),
              QStringLiteral("2019-12-31T18:00:00.001-05:00"));
    EXPECT_EQ(shown.value(QStringLiteral("recurrenceRuleRaw")).toString(),
              QStringLiteral("{broken"));
    EXPECT_TRUE(shown.value(QStringLiteral("repeat")).isNull());
    EXPECT_EQ(shown.value(QStringLiteral("subtaskProgress")), (QJsonArray{0, 0}));
    const QJsonArray changes = shown.value(QStringLiteral("changes")).toArray();
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0].toObject().value(QStringLiteral("kindRaw")).toString(),
              QStringLiteral("teleported"));
    EXPECT_EQ(changes[0].toObject().value(QStringLiteral("kindTitle")).toString(),
              QStringLiteral("Created"));
    EXPECT_EQ(changes[1].toObject().value(QStringLiteral("kindTitle")).toString(),
              QStringLiteral("Moved to Today"));
}

TEST_F(Transfer, aMalformedFileChangesNothing) {
    add(QStringLiteral("Existing"));
    const QByteArray before = exportText();
    const QByteArray valid =
        R"({"id": "0f0f0f0f-1111-4222-8333-444455556666", "title": "ok", "notes": "",
        "isCompleted": false, "completedAt": null, "scheduledDate": null, "listRaw": "later",
        "sortOrder": 1, "createdAt": "2020-01-01T00:00:00.000Z", "recurrenceRuleRaw": null,
        "subtasks": [], "changes": []})";
    const QList<std::pair<QByteArray, const char *>> files{
        {"", "not JSON"},
        {"{\"formatVersion\": 1, \"todos\": [", "not JSON"},
        {"[1, 2]", "format version"},
        {"{\"formatVersion\": 2, \"todos\": []}", "format version"},
        {"{\"formatVersion\": 1, \"todos\": {}}", "\"todos\""},
        // The first to-do is fine; the second breaks the file, so neither is imported.
        {"{\"formatVersion\": 1, \"todos\": [" + valid + ", 7]}", "todos[1]"},
        {"{\"formatVersion\": 1, \"todos\": [" + QByteArray(valid).replace("0f0f0f0f", "nothex!!") +
             "]}",
         "todos[0].id"},
        {"{\"formatVersion\": 1, \"todos\": [" +
             QByteArray(valid).replace("2020-01-01T00:00:00.000Z", "yesterday") + "]}",
         "createdAt"},
        {"{\"formatVersion\": 1, \"todos\": [" +
             QByteArray(valid).replace("\"sortOrder\": 1", "\"sortOrder\": \"1\"") + "]}",
         "sortOrder"},
        {"{\"formatVersion\": 1, \"todos\": [" +
             QByteArray(valid).replace("\"subtasks\": []", "\"subtasks\": [{\"id\": 1}]") + "]}",
         "subtasks[0]"},
        {"{\"formatVersion\": 1, \"todos\": [" +
             QByteArray(valid).replace("\"title\": \"ok\", ", "") + "]}",
         "title"},
        {QByteArray(2000, '['), "not JSON"},
    };
    for (const auto &[bytes, fragment] : files) {
        SCOPED_TRACE(bytes.left(120).toStdString());
        const CliRun result =
            run({QStringLiteral("import"), writeFile(QStringLiteral("bad.json"), bytes)});
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.err.startsWith("quillbrook-cli: cannot import"))
            << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(fragment)) << result.err.toStdString();
    }
    EXPECT_EQ(exportText(), before);
}
