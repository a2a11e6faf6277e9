#include "clifixture.h"

#include <QFile>

using namespace qb::test;

namespace {

QString field(const QJsonValue &todo, const char *name) {
    return todo.toObject().value(QLatin1String(name)).toString();
}

QStringList kinds(const QJsonValue &todo) {
    QStringList result;
    for (const auto &change : todo.toObject().value(QStringLiteral("changes")).toArray())
        result.append(change.toObject().value(QStringLiteral("kindRaw")).toString());
    return result;
}

} // namespace

using AddCommand = CliFixture;

TEST_F(AddCommand, addsToTodayLaterOrAGivenDay) {
    const QJsonObject today = json({QStringLiteral("add"), QStringLiteral("Buy"),
                                    QStringLiteral("oat"), QStringLiteral("milk")})
                                  .toObject();
    EXPECT_EQ(today.value(QStringLiteral("title")).toString(), QStringLiteral("Buy oat milk"));
    EXPECT_EQ(today.value(QStringLiteral("scheduledDate")).toString(), startOfToday());
    EXPECT_EQ(today.value(QStringLiteral("listRaw")).toString(), QStringLiteral("today"));
    EXPECT_EQ(today.value(QStringLiteral("sortOrder")).toDouble(), 1.0);
    EXPECT_EQ(today.value(QStringLiteral("id")).toString(),
              today.value(QStringLiteral("id")).toString().toUpper());

    const QJsonObject later =
        json({QStringLiteral("add"), QStringLiteral("--later"), QStringLiteral("Someday")})
            .toObject();
    EXPECT_TRUE(later.value(QStringLiteral("scheduledDate")).isNull());
    EXPECT_EQ(later.value(QStringLiteral("listRaw")).toString(), QStringLiteral("later"));

    const QJsonObject dated = json({QStringLiteral("add"), QStringLiteral("--date"),
                                    QStringLiteral("2031-07-04"), QStringLiteral("Fireworks")})
                                  .toObject();
    EXPECT_EQ(dated.value(QStringLiteral("scheduledDate")).toString(),
              QStringLiteral("2031-07-04T00:00:00.000-04:00"));
    const QJsonObject tomorrow = json({QStringLiteral("add"), QStringLiteral("--date"),
                                       QStringLiteral("tomorrow"), QStringLiteral("Later on")})
                                     .toObject();
    EXPECT_EQ(tomorrow.value(QStringLiteral("scheduledDate")).toString(), startOfTomorrow());
    EXPECT_EQ(json({QStringLiteral("add"), QStringLiteral("--date"), QStringLiteral("none"),
                    QStringLiteral("x")})
                  .toObject()
                  .value(QStringLiteral("listRaw")),
              QStringLiteral("later"));
}

TEST_F(AddCommand, turnsLineBreaksIntoSpacesAndShowsEmptyTitlesAsNewToDo) {
    const QJsonObject added =
        json({QStringLiteral("add"), QStringLiteral("  Call\nmum\r\nand\u2028dad  ")}).toObject();
    EXPECT_EQ(added.value(QStringLiteral("title")).toString(), QStringLiteral("Call mum and dad"));

    const QJsonObject empty = json({QStringLiteral("add"), QString()}).toObject();
    EXPECT_EQ(empty.value(QStringLiteral("title")).toString(), QString());
    EXPECT_EQ(empty.value(QStringLiteral("displayTitle")).toString(), QStringLiteral("New To-Do"));
}

TEST_F(AddCommand, printsOneHumanLineAndRefreshesTheWidgetSnapshot) {
    const CliRun result = run({QStringLiteral("add"), QStringLiteral("Water plants")});
    ASSERT_EQ(result.status, 0);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^[0-9A-F]{8}  \\[ \\] Water plants  \\(Today\\)\n$"))
            .match(result.text())
            .hasMatch())
        << result.out.toStdString();
    QFile snapshot(dataFolder() + QStringLiteral("/today.json"));
    ASSERT_TRUE(snapshot.open(QIODevice::ReadOnly));
    EXPECT_TRUE(snapshot.readAll().contains("Water plants"));
}

using EditCommands = CliFixture;

TEST_F(EditCommands, renameNotesScheduleAndMoveGoThroughTheStoreAndItsLog) {
    const QString id = add(QStringLiteral("Draft"));
    const QString prefix = id.left(6).toLower();
    EXPECT_EQ(
        field(json({QStringLiteral("rename"), prefix, QStringLiteral("Final\ndraft")}), "title"),
        QStringLiteral("Final draft"));
    EXPECT_EQ(
        field(json({QStringLiteral("notes"), id, QStringLiteral("line one\nline two")}), "notes"),
        QStringLiteral("line one\nline two"));
    EXPECT_EQ(field(json({QStringLiteral("schedule"), id, QStringLiteral("2031-01-02")}),
                    "scheduledDate"),
              QStringLiteral("2031-01-02T00:00:00.000-05:00"));
    EXPECT_TRUE(json({QStringLiteral("move"), id, QStringLiteral("later")})
                    .toObject()
                    .value(QStringLiteral("scheduledDate"))
                    .isNull());
    EXPECT_EQ(field(json({QStringLiteral("move"), id, QStringLiteral("today")}), "scheduledDate"),
              startOfToday());
    // Same values again: nothing changes, nothing is logged.
    json({QStringLiteral("rename"), id, QStringLiteral(" Final draft ")});
    json({QStringLiteral("schedule"), id, QStringLiteral("today")});

    const QJsonValue shown = json({QStringLiteral("show"), id});
    EXPECT_EQ(kinds(shown),
              (QStringList{QStringLiteral("scheduled"), QStringLiteral("dateCleared"),
                           QStringLiteral("scheduled"), QStringLiteral("notesEdited"),
                           QStringLiteral("titleEdited"), QStringLiteral("created")}));
    const QJsonObject renamed =
        shown.toObject().value(QStringLiteral("changes")).toArray()[4].toObject();
    EXPECT_EQ(renamed.value(QStringLiteral("detail")).toString(),
              QStringLiteral("Draft → Final draft"));
    EXPECT_EQ(renamed.value(QStringLiteral("kindTitle")).toString(), QStringLiteral("Renamed"));
    EXPECT_TRUE(shown.toObject().value(QStringLiteral("hasNotes")).toBool());
}

TEST_F(EditCommands, notesFromStandardInputAreKeptExactlyUpToTheirLimit) {
    const QString id = add(QStringLiteral("Long read"));
    QByteArray notes;
    while (notes.size() < 4 * 1024 * 1024)
        notes += "Zoë's notes, line with tabs\tand \"quotes\" 😀\n";
    notes.truncate(4 * 1024 * 1024);
    notes.replace(notes.size() - 4, 4, "end."); // no character cut in two
    const QJsonObject stored =
        json({QStringLiteral("notes"), id, QStringLiteral("-")}, notes).toObject();
    EXPECT_EQ(stored.value(QStringLiteral("notes")).toString(), QString::fromUtf8(notes));
    EXPECT_EQ(
        json({QStringLiteral("show"), id}).toObject().value(QStringLiteral("notes")).toString(),
        QString::fromUtf8(notes));

    // One byte more, or an input that never ends, is refused without reading it all.
    const QByteArray before = exportText();
    const CliRun longer = run({QStringLiteral("notes"), id, QStringLiteral("-")}, notes + "!");
    EXPECT_EQ(longer.status, 1);
    EXPECT_TRUE(longer.err.contains("standard input is longer than 4 MiB, the limit for notes"))
        << longer.err.toStdString();
    const CliRun endless =
        runReading({QStringLiteral("notes"), id, QStringLiteral("-")}, QStringLiteral("/dev/zero"));
    EXPECT_EQ(endless.status, 1);
    EXPECT_TRUE(endless.err.contains("longer than 4 MiB"));
    EXPECT_EQ(exportText(), before);
}

TEST_F(EditCommands, repeatSetsTheFirstDayAndCompletionSpawnsTheNextInstance) {
    const QString id = add(QStringLiteral("Daily stretch"));
    const QJsonObject repeating =
        json({QStringLiteral("repeat"), id,
              QStringLiteral(R"({"frequency":"daily","weekdays":[],"lastDay":false})")})
            .toObject();
    EXPECT_EQ(repeating.value(QStringLiteral("repeat")).toString(), QStringLiteral("Every day"));
    EXPECT_EQ(repeating.value(QStringLiteral("scheduledDate")).toString(), startOfToday());

    const QJsonObject done = json({QStringLiteral("complete"), id}).toObject();
    EXPECT_TRUE(done.value(QStringLiteral("isCompleted")).toBool());
    EXPECT_TRUE(done.value(QStringLiteral("recurrenceRuleRaw")).isNull());
    const QJsonArray later = json({QStringLiteral("list"), QStringLiteral("later")}).toArray();
    ASSERT_EQ(later.size(), 1);
    EXPECT_EQ(field(later[0], "title"), QStringLiteral("Daily stretch"));
    EXPECT_EQ(field(later[0], "scheduledDate"), startOfTomorrow());

    const QString next = field(later[0], "id");
    EXPECT_TRUE(json({QStringLiteral("repeat"), next, QStringLiteral("none")})
                    .toObject()
                    .value(QStringLiteral("repeat"))
                    .isNull());
}

TEST_F(EditCommands, completeAndReopenChangeNothingWhenTheStateIsAlreadyThere) {
    const QString id = add(QStringLiteral("Once"));
    json({QStringLiteral("complete"), id});
    const QJsonObject again = json({QStringLiteral("complete"), id}).toObject();
    EXPECT_TRUE(again.value(QStringLiteral("isCompleted")).toBool());
    EXPECT_FALSE(again.value(QStringLiteral("completedAt")).isNull());
    json({QStringLiteral("reopen"), id});
    json({QStringLiteral("reopen"), id});
    EXPECT_EQ(kinds(json({QStringLiteral("show"), id})),
              (QStringList{QStringLiteral("reopened"), QStringLiteral("completed"),
                           QStringLiteral("created")}));
}

TEST_F(EditCommands, deletePrintsTheWholeSnapshotAndTheToDoIsGone) {
    const QString id = add(QStringLiteral("Temporary"));
    json({QStringLiteral("subtask"), QStringLiteral("add"), id, QStringLiteral("step")});
    const QJsonObject deleted = json({QStringLiteral("delete"), id}).toObject();
    EXPECT_EQ(deleted.value(QStringLiteral("title")).toString(), QStringLiteral("Temporary"));
    EXPECT_EQ(deleted.value(QStringLiteral("subtasks")).toArray().size(), 1);
    EXPECT_EQ(deleted.value(QStringLiteral("changes")).toArray().size(), 1);
    EXPECT_EQ(run({QStringLiteral("show"), id}).status, 1);
}

using RuleCommands = CliFixture;

TEST_F(RuleCommands, describeAndNextUseTheCurrentCalendar) {
    const QString weekly =
        QStringLiteral(R"({"frequency":"weekly","weekdays":[5,1,3],"lastDay":false})");
    EXPECT_EQ(run({QStringLiteral("rule"), QStringLiteral("describe"), weekly}).text(),
              QStringLiteral("Weekly on Mon, Wed, Fri\n"));
    EXPECT_EQ(json({QStringLiteral("rule"), QStringLiteral("describe"), weekly}).toString(),
              QStringLiteral("Weekly on Mon, Wed, Fri"));

    const QString monthly =
        QStringLiteral(R"({"frequency":"monthly","weekdays":[],"dayOfMonth":31,"lastDay":false})");
    const auto next = [&](const QString &from, bool including) {
        QStringList args{QStringLiteral("rule"), QStringLiteral("next"), monthly,
                         QStringLiteral("--from"), from};
        if (including)
            args.append(QStringLiteral("--including-start"));
        return json(args).toString();
    };
    EXPECT_EQ(next(QStringLiteral("2025-04-15"), true),
              QStringLiteral("2025-04-30T00:00:00.000-04:00"));
    EXPECT_EQ(next(QStringLiteral("2025-04-30T15:00"), false),
              QStringLiteral("2025-05-31T00:00:00.000-04:00"));
    // An offset wins over the local zone: 03:00 UTC on 1 May is still 30 April in New York.
    EXPECT_EQ(next(QStringLiteral("2025-05-01T03:00:00Z"), true),
              QStringLiteral("2025-04-30T00:00:00.000-04:00"));
    EXPECT_EQ(next(QStringLiteral("2025-05-01T03:00:00.000+00:00"), false),
              QStringLiteral("2025-05-31T00:00:00.000-04:00"));
}
