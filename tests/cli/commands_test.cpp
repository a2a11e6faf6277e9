#include "clifixture.h"


using namespace Qt::Literals::StringLiterals;

using namespace qb::test;

using AddCommand = CliFixture;

TEST_F(AddCommand, addsToTodayLaterOrAGivenDayAndPrintsOneLine) {
    const auto dayOf = [&](const QStringList &options) {
        return json(QStringList{u"add"_s} + options + QStringList{u"x"_s})[u"scheduledDate"];
    };
    EXPECT_EQ(dayOf({}), startOfToday());
    EXPECT_EQ(dayOf({u"--later"_s}), QJsonValue());
    EXPECT_EQ(dayOf({u"--date"_s, u"none"_s}), QJsonValue());
    EXPECT_EQ(dayOf({u"--date"_s, u"2031-07-04"_s}), u"2031-07-04T00:00:00.000-04:00"_s);
    EXPECT_EQ(dayOf({u"--date"_s, u"tomorrow"_s}), startOfToday(1));

    const QJsonValue milk = json({u"add"_s, u"Buy"_s, u"oat"_s, u"milk"_s});
    EXPECT_EQ(milk[u"title"], u"Buy oat milk"_s);
    EXPECT_EQ(milk[u"id"].toString(), milk[u"id"].toString().toUpper());
    EXPECT_EQ(json({u"add"_s, u"  Call\nmum\r\nand\u2028dad  "_s})[u"title"],
              u"Call mum and dad"_s);
    EXPECT_EQ(json({u"add"_s, QString()})[u"title"], QString());

    // Without --json: one line for people, and the widget's snapshot follows.
    const CliRun result = run({u"add"_s, u"Water plants"_s});
    ASSERT_EQ(result.status, 0);
    const QRegularExpression line(u"^[0-9A-F]{8}  \\[ \\] Water plants  \\(Today\\)\n$"_s);
    EXPECT_TRUE(result.text().contains(line)) << result.out.toStdString();
    EXPECT_TRUE(dataFile(dataFolder() + u"/today.json"_s).contains("Water plants"));
}

using EditCommands = CliFixture;

TEST_F(EditCommands, notesFromStandardInputAreKeptExactlyUpToTheirLimit) {
    const QString id = add(u"Long read"_s);
    QByteArray notes;
    while (notes.size() < 4 * 1024 * 1024)
        notes += "Zoë's notes, line with tabs\tand \"quotes\" 😀\n";
    notes.truncate(4 * 1024 * 1024);
    notes.replace(notes.size() - 4, 4, "end."); // no character cut in two
    const QJsonObject stored = json({u"notes"_s, id, u"-"_s}, notes).toObject();
    EXPECT_EQ(stored.value(u"notes"_s).toString(), QString::fromUtf8(notes));
    EXPECT_EQ(json({u"show"_s, id})[u"notes"].toString(), QString::fromUtf8(notes));

    // One byte more, or an input that never ends, is refused without reading it all.
    const QByteArray before = exportText();
    EXPECT_TRUE(failed(run({u"notes"_s, id, u"-"_s}, notes + "!"), 1,
                       "standard input is longer than 4 MiB, the limit for notes"));
    EXPECT_TRUE(
        failed(shell(u"exec \"$0\" notes \"$1\" - < /dev/zero"_s, {id}), 1, "longer than 4 MiB"));
    EXPECT_EQ(exportText(), before);
}

// Every edit goes through the store and prints the to-do; completing or reopening what already is
// changes nothing, and a deletion prints the whole snapshot.
TEST_F(EditCommands, eachEditPrintsTheStoredToDo) {
    const QString id = add(u"Draft"_s);
    EXPECT_EQ(json({u"rename"_s, id.left(6).toLower(), u"Final\ndraft"_s})[u"title"],
              u"Final draft"_s);
    EXPECT_EQ(json({u"notes"_s, id, u"line one\nline two"_s})[u"notes"], u"line one\nline two"_s);
    EXPECT_EQ(json({u"schedule"_s, id, u"2031-01-02"_s})[u"scheduledDate"],
              u"2031-01-02T00:00:00.000-05:00"_s);
    EXPECT_EQ(json({u"move"_s, id, u"later"_s})[u"scheduledDate"], QJsonValue());
    EXPECT_EQ(json({u"move"_s, id, u"today"_s})[u"scheduledDate"], startOfToday());
    EXPECT_EQ(json({u"repeat"_s, id, dailyRule})[u"repeat"], u"Every day"_s);
    EXPECT_EQ(json({u"repeat"_s, id, u"none"_s})[u"repeat"], QJsonValue());

    json({u"complete"_s, id});
    EXPECT_TRUE(json({u"complete"_s, id})[u"completedAt"].isString());
    json({u"reopen"_s, id});
    json({u"reopen"_s, id});
    QStringList log;
    for (const auto &change : json({u"show"_s, id})[u"changes"].toArray())
        log.append(change[u"kindRaw"].toString());
    EXPECT_EQ(log.filter(QRegularExpression(u"^(completed|reopened)$"_s)),
              (QStringList{u"reopened"_s, u"completed"_s}));

    json({u"subtask"_s, u"add"_s, id, u"step"_s});
    const QJsonValue deleted = json({u"delete"_s, id});
    EXPECT_EQ(deleted[u"title"], u"Final draft"_s);
    EXPECT_EQ(deleted[u"subtasks"].toArray().size(), 1);
    EXPECT_EQ(deleted[u"changes"].toArray().size(), log.size());
    EXPECT_TRUE(failed(run({u"show"_s, id}), 1, "no to-do"));
}

using RuleCommands = CliFixture;

TEST_F(RuleCommands, describeAndNextUseTheCurrentCalendar) {
    const QString weekly = uR"({"frequency":"weekly","weekdays":[5,1,3],"lastDay":false})"_s;
    EXPECT_EQ(run({u"rule"_s, u"describe"_s, weekly}).text(), u"Weekly on Mon, Wed, Fri\n"_s);
    EXPECT_EQ(json({u"rule"_s, u"describe"_s, weekly}).toString(), u"Weekly on Mon, Wed, Fri"_s);

    const QString monthly =
        uR"({"frequency":"monthly","weekdays":[],"dayOfMonth":31,"lastDay":false})"_s;
    const QString april = u"2025-04-30T00:00:00.000-04:00"_s,
                  may = u"2025-05-31T00:00:00.000-04:00"_s;
    // An offset wins over the local zone: 03:00 UTC on 1 May is still 30 April in New York.
    for (const auto &[from, including, next] : {std::tuple{u"2025-04-15"_s, true, april},
                                                {u"2025-04-30T15:00"_s, false, may},
                                                {u"2025-05-01T03:00:00Z"_s, true, april},
                                                {u"2025-05-01T03:00:00.000+00:00"_s, false, may}}) {
        QStringList args{u"rule"_s, u"next"_s, monthly, u"--from"_s, from};
        if (including)
            args.append(u"--including-start"_s);
        EXPECT_EQ(json(args).toString(), next) << from.toStdString();
    }
}
