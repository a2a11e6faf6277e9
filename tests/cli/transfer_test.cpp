#include "clifixture.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

using namespace qb::test;

using Transfer = CliFixture;

TEST_F(Transfer, anExportReadsBackAndIsWrittenAgainByteForByte) {
    // Escapes, unknown kinds and lists, a rule that does not decode, ties in every order: the
    // file was written by the export as it stood before it streamed.
    const QString golden = QStringLiteral(QB_CLI_DATA "/export.json");
    const QByteArray expected = dataFile(golden);
    EXPECT_EQ(json({u"import"_s, golden}).toObject(),
              (QJsonObject{{u"imported"_s, 4}, {u"skipped"_s, 0}}));
    EXPECT_EQ(exportText(), expected);
    // Importing it again adds nothing and counts every to-do as skipped.
    EXPECT_EQ(json({u"import"_s, golden}).toObject(),
              (QJsonObject{{u"imported"_s, 0}, {u"skipped"_s, 4}}));
    EXPECT_EQ(exportText(), expected);
    // The widget snapshot follows the import: two of its to-dos are open and overdue.
    const QByteArray snapshot = dataFile(dataFolder() + u"/today.json"_s);
    EXPECT_EQ(QJsonDocument::fromJson(snapshot).object().value("totalCount"), 2);
}

TEST_F(Transfer, everyDayFromYearOneToNineThousandNineHundredNinetyNineRoundTrips) {
    // Around the Julian switch-over too: the days are stored as typed, with New York's local
    // mean time (-04:56:02) written to the second.
    const QStringList days{u"0001-01-01"_s, u"1582-10-04"_s, u"1582-10-05"_s, u"1582-10-10"_s,
                           u"1582-10-15"_s, u"1883-11-18"_s, u"9999-12-31"_s};
    for (const QString &day : days) {
        const QString id = add(day, {u"--date"_s, day});
        const QString stored = json({u"show"_s, id})[u"scheduledDate"].toString();
        EXPECT_TRUE(stored.startsWith(day + u"T00:00:00.000-0"_s)) << stored.toStdString();
    }
    EXPECT_EQ(json({u"list"_s, u"today"_s})[0][u"scheduledDate"],
              u"0001-01-01T00:00:00.000-04:56:02"_s);
    // A daily rule at the last day stays there rather than leaving the range.
    EXPECT_EQ(run({u"rule"_s, u"next"_s, dailyRule, u"--from"_s, u"9999-12-31"_s}).text(),
              u"9999-12-31T00:00:00.000-05:00\n"_s);

    const QByteArray exported = exportText();
    const CliClient other;
    ASSERT_EQ(other.run({u"import"_s, writeFile(u"e.json"_s, exported)}).status, 0);
    EXPECT_EQ(other.exportText(), exported);

    // Outside the range, nothing comes in (typed days and moments are refused with the client's
    // other bad input).
    for (const QByteArray &moment : {QByteArrayLiteral("0000-12-31T23:00:00.000Z"),
                                     QByteArrayLiteral("9999-12-31T23:59:59.999-10:00")}) {
        QByteArray file = exported;
        file.replace(exported.mid(exported.indexOf("\"createdAt\": \"") + 14, 29), moment);
        EXPECT_TRUE(failed(other.run({u"import"_s, writeFile(u"far.json"_s, file)}), 1,
                           "createdAt: expected a date-time in the years 1 to 9999"));
    }
    EXPECT_EQ(other.exportText(), exported);
}

// Derived fields are the export's reading aid: an import recomputes them from the stored ones.
TEST_F(Transfer, importIgnoresDerivedFieldsAndReadsMomentsInAnyOffset) {
    ASSERT_EQ(run({u"import"_s, QStringLiteral(QB_CLI_DATA "/derived.json")}).status, 0);
    const QJsonObject shown = json({u"show"_s, u"0F0F0F0F"_s}).toObject();
    const QJsonObject expected{{u"displayTitle"_s, u"Old"_s},
                               {u"hasNotes"_s, false},
                               {u"repeat"_s, QJsonValue::Null},
                               {u"subtaskProgress"_s, QJsonArray{0, 0}},
                               {u"scheduledDate"_s, u"2031-02-03T00:00:00.000-05:00"_s},
                               {u"createdAt"_s, u"2019-12-31T18:00:00.001-05:00"_s}};
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(shown.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(shown.value(u"changes"_s)[0][u"kindTitle"], u"Created"_s);

    // Read as people see it: no repeat, an unknown kind as Created, the list by its date.
    const QString human = run({u"show"_s, u"0F0F0F0F"_s}).text();
    EXPECT_FALSE(human.contains(u"repeat"_s)) << human.toStdString();
    EXPECT_TRUE(human.contains(u"Created: to Mars"_s)) << human.toStdString();
    EXPECT_EQ(listed(u"later"_s), QStringList{u"Old"_s});
}

TEST_F(Transfer, aMalformedFileChangesNothing) {
    add(u"Existing"_s);
    const QByteArray before = exportText();
    const QByteArray valid = todoText("0f0f0f0f-1111-4222-8333-444455556666");
    const QByteArray second = todoText("0f0f0f0f-1111-4222-8333-444455556667");
    // The file of that one to-do with `text` in place of `part`.
    const auto broken = [&](const char *part, const QByteArray &text) {
        return exportFile({QByteArray(valid).replace(part, text)});
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
        {broken("0f0f0f0f", "nothex!!"), "todos[0].id"},
        {broken("2020-01-01T00:00:00.000Z", "yesterday"), "createdAt"},
        {broken("\"sortOrder\": 1", "\"sortOrder\": \"1\""), "sortOrder"},
        {broken("\"subtasks\": []", "\"subtasks\": [{\"id\": 1}]"), "subtasks[0]"},
        {broken("\"title\": \"ok\", ", ""), "title"},
        {broken("\"notes\": \"\",", "\"notes\": \"\", \"notes\": \"x\","),
         "todos[0].notes: given twice"},
        // Keys of no meaning are skipped, but not nested without end.
        {broken("\"notes\"", "\"extra\": " + QByteArray(5000, '[') + ", \"notes\""),
         "nested too deeply"},
        {broken("\"ok\"", "\"o\xff\""), "not JSON"},
        {broken("\"ok\"", "\"\\udc00 lone\""), "todos[0].title: not valid Unicode"},
        {broken("\"ok\"", '"' + QByteArray(5 << 20, 'x') + '"'),
         "todos[0].title: longer than 4 MiB"},
        {broken("\"ok\"", '"' + QByteArray(30 << 20, 'x') + '"'), "a value longer than 4 MiB"},
        // The limit counts what a text reads, not how it is written: an escape is one.
        {exportFile({todoText("0f0f0f0f-1111-4222-8333-444455556666", {}, {},
                              QByteArray(4 << 20, 'x').replace(0, 1, "\\t")),
                     todoText("0f0f0f0f-1111-4222-8333-444455556667", {}, {},
                              QByteArray((4 << 20) + 1, 'x'))}),
         "todos[1].title: longer than 4 MiB"},
    };
    for (const auto &[bytes, fragment] : files) {
        SCOPED_TRACE(bytes.left(120).toStdString());
        const CliRun result = run({u"import"_s, writeFile(u"bad.json"_s, bytes)});
        EXPECT_TRUE(failed(result, 1, fragment));
        EXPECT_TRUE(result.err.startsWith("quillbrook-cli: cannot import"));
    }
    // One to-do with its subtasks may not take more than 64 MiB either.
    QByteArrayList steps;
    for (int i = 0; i < 17; ++i)
        steps.append(newId());
    const QByteArray huge = exportFile(
        {todoText(newId(), steps)
             .replace("\"title\": \"step\"", "\"title\": \"" + QByteArray(4000000, 'x') + '"')});
    EXPECT_TRUE(failed(run({u"import"_s, writeFile(u"huge.json"_s, huge)}), 1,
                       "todos[0] is longer than 64 MiB"));

    // Input that never ends is judged by its first byte, from a file or standard input.
    for (const QString &source : {u"/dev/zero"_s, u"-"_s})
        EXPECT_TRUE(failed(shell(u"exec \"$0\" import \"$1\" < /dev/zero"_s, {source}), 1,
                           "not JSON (a NUL byte at byte 0)"));
    EXPECT_EQ(exportText(), before);
}

TEST_F(Transfer, aFileWithAnIdGivenTwiceIsRefusedWholeNamingTheFirst) {
    const QString owner = add(u"Existing"_s);
    const QByteArray storedSubtask =
        json({u"subtask"_s, u"add"_s, owner, u"step"_s})[u"id"].toString().toLatin1();
    const QByteArray storedChange =
        json({u"show"_s, owner})[u"changes"][0][u"id"].toString().toLatin1();
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
        EXPECT_TRUE(failed(run({u"import"_s, writeFile(u"twice.json"_s, exportFile(todos))}), 1,
                           "quillbrook-cli: cannot import: " + message));
    }
    EXPECT_EQ(exportText(), before);
    // The same ids in separate records of different kinds are not duplicates.
    EXPECT_EQ(
        run({u"import"_s, writeFile(u"kinds.json"_s, exportFile({todoText(a, {a}, {a})}))}).status,
        0);
}

TEST_F(Transfer, aFullDiskLeavesTheStoreAsItWasAndIsReported) {
    for (int i = 0; i < 20; ++i)
        add(u"Existing %1"_s.arg(i));
    const QByteArray before = exportText();
    const QString file = writeTodos(u"many.json"_s, 3000, QByteArray(200, 'x'));
    // No file the client writes may grow past what the store holds now plus a little: the
    // import runs out of room half way, as on a full disk.
    qint64 stored = 0;
    for (const QString &suffix : {QString(), u"-wal"_s})
        stored = std::max(stored, QFileInfo(storePath() + suffix).size());
    const auto limited = [&](qint64 kib, const QString &command) {
        return shell(u"trap '' XFSZ; ulimit -f %1; %2"_s.arg(kib).arg(command),
                     {file, home.filePath(u"out"_s)});
    };
    EXPECT_TRUE(failed(limited(stored / 1024 + 256, u"exec \"$0\" import \"$1\""_s), 3,
                       "quillbrook-cli: cannot save to the store"));
    EXPECT_EQ(exportText(), before);
    // With room again, the same import goes through.
    EXPECT_EQ(json({u"import"_s, file})[u"imported"].toInt(), 3000);

    // An export that cannot be written whole is not reported as done.
    EXPECT_TRUE(
        failed(limited(64, u"exec \"$0\" export > \"$2\""_s), 1, "cannot write standard output"));
}

TEST_F(Transfer, importAndExportHoldOneToDoAtATime) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
#endif
    // Files of 8 and 96 MB of notes: a client that held the file, or every to-do, would grow by
    // several times the difference; one that streams by little more than its page cache.
    const QByteArray notes(16 * 1024, 'n');
    const QString small = writeTodos(u"small.json"_s, 500, "ok", notes);
    const QString large = writeTodos(u"large.json"_s, 6000, "ok", notes);
    const qint64 growth = QFileInfo(large).size() - QFileInfo(small).size();
    // Peak resident memory in bytes of one run on `file`, as GNU time reports it (in KiB).
    const auto peak = [](const CliClient &client, const QString &command, const QString &file) {
        const CliRun measured =
            client.shell(u"/usr/bin/time -f %M \"$0\" %1 2>&1 >/dev/null"_s.arg(command), {file});
        EXPECT_EQ(measured.status, 0) << measured.out.toStdString();
        return measured.out.trimmed().toLongLong() * 1024;
    };
    const CliClient other;
    for (const auto &[name, command] :
         {std::pair{"import", u"import \"$1\""_s}, {"export", u"export"_s}}) {
        const qint64 smallPeak = peak(other, command, small);
        const qint64 largePeak = peak(*this, command, large);
        RecordProperty(name + std::string("PeakKiB"), int(largePeak / 1024));
        EXPECT_GT(smallPeak, 0) << name;
        EXPECT_LT(largePeak - smallPeak, growth / 4) << name;
    }
}
