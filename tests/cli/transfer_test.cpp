#include "clifixture.h"

#include <QFileInfo>
#include <QProcess>
#include <QUuid>

using namespace qb::test;

namespace {

// One to-do of an export file with the given ids, its other fields plain.
QByteArray todoText(const QByteArray &id, const QByteArrayList &subtaskIds = {},
                    const QByteArrayList &changeIds = {}, const QByteArray &title = "ok") {
    QByteArrayList subtasks, changes;
    for (const QByteArray &subtask : subtaskIds)
        subtasks.append(R"({"id": ")" + subtask + R"(", "title": "step", "isCompleted": false,
            "sortOrder": 1, "createdAt": "2020-01-01T00:00:00.000Z"})");
    for (const QByteArray &change : changeIds)
        changes.append(R"({"id": ")" + change + R"(", "kindRaw": "created", "detail": null,
            "timestamp": "2020-01-01T00:00:00.000Z"})");
    return R"({"id": ")" + id + R"(", "title": ")" + title + R"(", "notes": "",
        "isCompleted": false, "completedAt": null, "scheduledDate": null, "listRaw": "later",
        "sortOrder": 1, "createdAt": "2020-01-01T00:00:00.000Z", "recurrenceRuleRaw": null,
        "subtasks": [)" +
           subtasks.join(", ") + R"(], "changes": [)" + changes.join(", ") + "]}";
}

QByteArray exportFile(const QByteArrayList &todos) {
    return R"({"formatVersion": 1, "todos": [)" + todos.join(",\n") + "]}\n";
}

} // namespace

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

TEST_F(Transfer, anExportReadsBackAndIsWrittenAgainByteForByte) {
    // Escapes, unknown kinds and lists, a rule that does not decode, ties in every order: the
    // file was written by the export as it stood before it streamed.
    QFile golden(QStringLiteral(QB_CLI_DATA "/export.json"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QByteArray expected = golden.readAll();
    EXPECT_EQ(json({QStringLiteral("import"), golden.fileName()}).toObject().value("imported"), 4);
    EXPECT_EQ(exportText(), expected);
    // The widget snapshot follows the import: two of its to-dos are open and overdue.
    QFile snapshot(dataFolder() + QStringLiteral("/today.json"));
    ASSERT_TRUE(snapshot.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(snapshot.readAll()).object().value("totalCount"), 2);
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

    // Read as people see it: no repeat, an unknown kind as Created, the list by its date.
    const QString human = run({QStringLiteral("show"), QStringLiteral("0F0F0F0F")}).text();
    EXPECT_FALSE(human.contains(QStringLiteral("repeat"))) << human.toStdString();
    EXPECT_TRUE(human.contains(QStringLiteral("Created: to Mars"))) << human.toStdString();
    EXPECT_EQ(ids(json({QStringLiteral("list"), QStringLiteral("later")}).toArray()),
              QStringList{QStringLiteral("0F0F0F0F-1111-4222-8333-444455556666")});
}

TEST_F(Transfer, aMalformedFileChangesNothing) {
    add(QStringLiteral("Existing"));
    const QByteArray before = exportText();
    const QByteArray valid = todoText("0f0f0f0f-1111-4222-8333-444455556666");
    const QByteArray second = todoText("0f0f0f0f-1111-4222-8333-444455556667");
    const auto withTitle = [](const QByteArray &title) {
        return exportFile({todoText("0f0f0f0f-1111-4222-8333-444455556666", {}, {}, title)});
    };
    const QList<std::pair<QByteArray, const char *>> files{
        {"", "not JSON"},
        {"{\"formatVersion\": 1, \"todos\": [", "not JSON"},
        {"[1, 2]", "format version"},
        {QByteArray(2000, '['), "format version"},
        {"{\"formatVersion\": 2, \"todos\": []}", "format version"},
        {"{\"formatVersion\": 1, \"todos\": {}}", "\"todos\""},
        {"{\"formatVersion\": 1}", "\"todos\""},
        // Each of these breaks the file after a to-do that is fine (and already written to the
        // transaction), so nothing is imported.
        {"{\"formatVersion\": 1, \"todos\": [" + valid + ", 7]}", "todos[1]"},
        {"{\"formatVersion\": 1, \"todos\": [" + valid + ", " + second.left(150), "not JSON"},
        {"{\"todos\": [" + valid + "], \"formatVersion\": 2}", "format version"},
        {"{\"todos\": [" + valid + "]}", "format version"},
        {exportFile({valid}) + QByteArray(1, '\0') + "trailing", "NUL byte"},
        {exportFile({valid}) + "{}", "not JSON"},
        {exportFile({QByteArray(valid).replace("0f0f0f0f", "nothex!!")}), "todos[0].id"},
        {exportFile({QByteArray(valid).replace("2020-01-01T00:00:00.000Z", "yesterday")}),
         "createdAt"},
        {exportFile({QByteArray(valid).replace("\"sortOrder\": 1", "\"sortOrder\": \"1\"")}),
         "sortOrder"},
        {exportFile({QByteArray(valid).replace("\"subtasks\": []", "\"subtasks\": [{\"id\": 1}]")}),
         "subtasks[0]"},
        {exportFile({QByteArray(valid).replace("\"title\": \"ok\", ", "")}), "title"},
        {exportFile(
             {QByteArray(valid).replace("\"notes\": \"\",", "\"notes\": \"\", \"notes\": \"x\",")}),
         "todos[0].notes: given twice"},
        // Keys of no meaning are skipped, but not nested without end.
        {exportFile({QByteArray(valid).replace("\"notes\"", "\"extra\": " + QByteArray(5000, '[') +
                                                                ", \"notes\"")}),
         "nested too deeply"},
        {withTitle("o\xff"), "not JSON"},
        {withTitle("\\udc00 lone"), "todos[0].title: not valid Unicode"},
        {withTitle(QByteArray(5 << 20, 'x')), "todos[0].title: longer than 4 MiB"},
        {withTitle(QByteArray(30 << 20, 'x')), "a value longer than 4 MiB"},
        // The limit counts what a text reads, not how it is written: an escape is one.
        {exportFile({todoText("0f0f0f0f-1111-4222-8333-444455556666", {}, {},
                              QByteArray(4 << 20, 'x').replace(0, 1, "\\t")),
                     todoText("0f0f0f0f-1111-4222-8333-444455556667", {}, {},
                              QByteArray((4 << 20) + 1, 'x'))}),
         "todos[1].title: longer than 4 MiB"},
    };
    for (const auto &[bytes, fragment] : files) {
        SCOPED_TRACE(bytes.left(120).toStdString());
        const CliRun result =
            run({QStringLiteral("import"), writeFile(QStringLiteral("bad.json"), bytes)});
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.err.startsWith("quillbrook-cli: cannot import"))
            << result.err.left(300).toStdString();
        EXPECT_TRUE(result.err.contains(fragment)) << result.err.left(300).toStdString();
    }
    // One to-do with its subtasks may not take more than 64 MiB either.
    QByteArrayList subtasks;
    for (int i = 0; i < 17; ++i)
        subtasks.append(R"({"id": "0f0f0f0f-1111-4222-8333-5555555555)" +
                        QByteArray::number(10 + i) + R"(", "title": ")" + QByteArray(4000000, 'x') +
                        R"(", "isCompleted": false,
            "sortOrder": 1, "createdAt": "2020-01-01T00:00:00.000Z"})");
    const QByteArray huge = exportFile({QByteArray(valid).replace(
        "\"subtasks\": []", "\"subtasks\": [" + subtasks.join(", ") + "]")});
    const CliRun tooLarge =
        run({QStringLiteral("import"), writeFile(QStringLiteral("huge.json"), huge)});
    EXPECT_EQ(tooLarge.status, 1);
    EXPECT_TRUE(tooLarge.err.contains("todos[0] is longer than 64 MiB"))
        << tooLarge.err.toStdString();

    // Input that never ends is judged by its first byte, from a file or standard input.
    for (const QString &source : {QStringLiteral("/dev/zero"), QStringLiteral("-")}) {
        const CliRun endless =
            runReading({QStringLiteral("import"), source}, QStringLiteral("/dev/zero"));
        EXPECT_EQ(endless.status, 1);
        EXPECT_TRUE(endless.err.contains("not JSON (a NUL byte at byte 0)"));
    }
    EXPECT_EQ(exportText(), before);
}

TEST_F(Transfer, aFileWithAnIdGivenTwiceIsRefusedWholeNamingTheFirst) {
    const QString owner = add(QStringLiteral("Existing"));
    const QByteArray storedSubtask =
        json({QStringLiteral("subtask"), QStringLiteral("add"), owner, QStringLiteral("step")})
            .toObject()
            .value(QStringLiteral("id"))
            .toString()
            .toLatin1();
    const QByteArray storedChange = json({QStringLiteral("show"), owner})
                                        .toObject()
                                        .value(QStringLiteral("changes"))
                                        .toArray()
                                        .first()
                                        .toObject()
                                        .value(QStringLiteral("id"))
                                        .toString()
                                        .toLatin1();
    const QByteArray before = exportText();
    const QByteArray a = "aaaaaaaa-1111-4222-8333-444455556666";
    const QByteArray b = "bbbbbbbb-1111-4222-8333-444455556666";
    const QByteArray c = "cccccccc-1111-4222-8333-444455556666";
    const QByteArray d = "dddddddd-1111-4222-8333-444455556666";
    const QList<std::pair<QByteArrayList, QByteArray>> files{
        // The same to-do twice, in another letter case.
        {{todoText(a), todoText(b), todoText(a.toUpper())},
         "todos[2].id: AAAAAAAA-1111-4222-8333-444455556666 is given twice (first at todos[0])"},
        {{todoText(a, {c, d}), todoText(b, {c})},
         "todos[1].subtasks[0].id: CCCCCCCC-1111-4222-8333-444455556666 is given twice (first at "
         "todos[0].subtasks[0])"},
        // Of two duplicates, the one the file reaches first.
        {{todoText(a, {}, {c}), todoText(b, {d}, {d, c})}, "todos[1].changes[1].id: CCCCCCCC"},
        {{todoText(a, {}, {c, c})}, "todos[0].changes[1].id"},
        {{todoText(a), todoText(b, {storedSubtask})},
         "todos[1].subtasks[0].id: " + storedSubtask +
             " is already the id of a subtask in the store"},
        {{todoText(a, {}, {d, storedChange})},
         "todos[0].changes[1].id: " + storedChange + " is already the id of a change entry"},
        // A to-do already stored is skipped, but not given twice either.
        {{todoText(owner.toLatin1()), todoText(owner.toLatin1())}, "todos[1].id"},
    };
    for (const auto &[todos, message] : files) {
        SCOPED_TRACE(message.toStdString());
        const CliRun result = run(
            {QStringLiteral("import"), writeFile(QStringLiteral("twice.json"), exportFile(todos))});
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.err.startsWith(QByteArray("quillbrook-cli: cannot import: ") + message))
            << result.err.toStdString();
    }
    EXPECT_EQ(exportText(), before);
    // The same ids in separate records of different kinds are not duplicates.
    EXPECT_EQ(run({QStringLiteral("import"),
                   writeFile(QStringLiteral("kinds.json"), exportFile({todoText(a, {a}, {a})}))})
                  .status,
              0);
}

TEST_F(Transfer, aFullDiskLeavesTheStoreAsItWasAndIsReported) {
    for (int i = 0; i < 20; ++i)
        add(QStringLiteral("Existing %1").arg(i));
    const QByteArray before = exportText();
    QByteArrayList todos;
    for (int i = 0; i < 3000; ++i)
        todos.append(todoText(QUuid::createUuid().toByteArray(QUuid::WithoutBraces), {}, {},
                              QByteArray(200, 'x')));
    const QString file = writeFile(QStringLiteral("many.json"), exportFile(todos));
    // No file the client writes may grow past what the store holds now plus a little: the
    // import runs out of room half way, as on a full disk.
    qint64 stored = 0;
    for (const QString &suffix : {QString(), QStringLiteral("-wal")})
        stored = std::max(stored, QFileInfo(storePath() + suffix).size());
    const auto limited = [&](qint64 kib, const QString &command) {
        QProcess shell;
        shell.setProcessEnvironment(environment());
        shell.start(QStringLiteral("/bin/bash"),
                    {QStringLiteral("-c"),
                     QStringLiteral("trap '' XFSZ; ulimit -f %1; %2").arg(kib).arg(command),
                     QStringLiteral(QB_CLI_PATH), file, home.filePath(QStringLiteral("out"))});
        shell.waitForFinished(60000);
        return std::pair(shell.exitCode(), shell.readAllStandardError());
    };
    const auto [importStatus, importError] =
        limited(stored / 1024 + 256, QStringLiteral("exec \"$0\" import \"$1\""));
    EXPECT_EQ(importStatus, 3);
    EXPECT_TRUE(importError.startsWith("quillbrook-cli: cannot save to the store"))
        << importError.toStdString();
    EXPECT_EQ(exportText(), before);
    // With room again, the same import goes through.
    EXPECT_EQ(json({QStringLiteral("import"), file}).toObject().value("imported").toInt(), 3000);

    // An export that cannot be written whole is not reported as done.
    const auto [exportStatus, exportError] =
        limited(64, QStringLiteral("exec \"$0\" export > \"$2\""));
    EXPECT_EQ(exportStatus, 1);
    EXPECT_TRUE(exportError.contains("cannot write standard output")) << exportError.toStdString();
}

TEST_F(Transfer, importAndExportHoldOneToDoAtATime) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
#endif
    // Files of 8 and 96 MB of notes: a client that held the file, or every to-do, would grow by
    // several times the difference; one that streams by little more than its page cache.
    const auto fileOf = [this](int count) {
        QByteArrayList todos;
        const QByteArray notes(16 * 1024, 'n');
        for (int i = 0; i < count; ++i)
            todos.append(todoText(QUuid::createUuid().toByteArray(QUuid::WithoutBraces))
                             .replace("\"notes\": \"\"", "\"notes\": \"" + notes + '"'));
        return writeFile(QStringLiteral("todos%1.json").arg(count), exportFile(todos));
    };
    // Peak resident memory in bytes, as GNU time reports it (in KiB).
    const auto peak = [this](const CliClient &client, const QString &command, const QString &file) {
        QProcess shell;
        shell.setProcessEnvironment(client.environment());
        shell.start(QStringLiteral("/bin/bash"),
                    {QStringLiteral("-c"),
                     QStringLiteral("/usr/bin/time -f %M -o \"$2\" %1").arg(command),
                     QStringLiteral(QB_CLI_PATH), file, home.filePath(QStringLiteral("rss"))});
        shell.waitForFinished(120000);
        EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
        QFile report(home.filePath(QStringLiteral("rss")));
        return report.open(QIODevice::ReadOnly) ? report.readAll().trimmed().toLongLong() * 1024
                                                : 0;
    };
    const QString small = fileOf(500);
    const QString large = fileOf(6000);
    const qint64 growth = QFileInfo(large).size() - QFileInfo(small).size();
    const CliClient other;
    const QString import = QStringLiteral("\"$0\" import \"$1\"");
    const QString exporting = QStringLiteral("\"$0\" export > /dev/null");
    const qint64 importSmall = peak(other, import, small);
    const qint64 importLarge = peak(*this, import, large);
    const qint64 exportSmall = peak(other, exporting, small);
    const qint64 exportLarge = peak(*this, exporting, large);
    RecordProperty("importPeakKiB", int(importLarge / 1024));
    RecordProperty("exportPeakKiB", int(exportLarge / 1024));
    EXPECT_GT(importSmall, 0);
    EXPECT_LT(importLarge - importSmall, growth / 4);
    EXPECT_GT(exportSmall, 0);
    EXPECT_LT(exportLarge - exportSmall, growth / 4);
}
