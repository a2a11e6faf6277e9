#include "clifixture.h"

#include <QDir>
#include <QFile>

using namespace Qt::Literals::StringLiterals;

using namespace qb::test;

using Errors = CliFixture;

TEST_F(Errors, usageMistakesExitWithTwo) {
    const QList<QStringList> mistakes{
        {},
        {u"frobnicate"_s},
        {u"--colour"_s, u"list"_s, u"today"_s},
        {u"add"_s},
        {u"add"_s, u"--today"_s, u"--later"_s, u"x"_s},
        {u"add"_s, u"--date"_s},
        {u"add"_s, u"--soon"_s, u"x"_s},
        {u"list"_s},
        {u"list"_s, u"tomorrow"_s},
        {u"move"_s, u"abcd"_s, u"sideways"_s},
        {u"reorder"_s, u"today"_s, u"1"_s},
        {u"subtask"_s, u"juggle"_s, u"abcd"_s},
        {u"rule"_s, u"next"_s, u"{}"_s},
        {u"export"_s, u"extra"_s},
    };
    for (const QStringList &args : mistakes) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        EXPECT_TRUE(failed(run(args), 2));
    }
}

TEST_F(Errors, badInputExitsWithOneAndChangesNothing) {
    const QString id = add(u"Keep me"_s);
    const QByteArray before = exportText();
    const QString rule = uR"({"frequency":"fortnightly","weekdays":[],"lastDay":false})"_s;
    const QList<std::pair<QStringList, const char *>> cases{
        {{u"schedule"_s, id, u"2026-02-30"_s}, "no such day"},
        {{u"schedule"_s, id, u"next week"_s}, "not a day"},
        {{u"add"_s, u"--date"_s, u"2026-13-01"_s, u"x"_s}, "no such day"},
        {{u"add"_s, u"--date"_s, u"0000-12-31"_s, u"x"_s}, "1 to 9999"},
        {{u"repeat"_s, id, rule}, "not a repeat rule"},
        {{u"rule"_s, u"describe"_s, u"[]"_s}, "not a repeat rule"},
        {{u"rule"_s, u"next"_s, dailyRule, u"--from"_s, u"2026-01-01T25:00"_s}, "not a date-time"},
        {{u"rule"_s, u"next"_s, dailyRule, u"--from"_s, u"0000-06-01T12:00:00Z"_s}, "1 to 9999"},
        {{u"rename"_s, u"0000"_s, u"x"_s}, "no to-do"},
        {{u"reorder"_s, u"today"_s, u"5"_s, u"0"_s}, "FROM"},
        {{u"import"_s, home.filePath(u"missing.json"_s)}, "cannot read"},
    };
    for (const auto &[args, fragment] : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        EXPECT_TRUE(failed(run(args), 1, fragment));
    }
    EXPECT_TRUE(
        failed(run({u"notes"_s, id, u"-"_s}, QByteArray("bad \xff\xfe bytes")), 1, "UTF-8"));
    EXPECT_EQ(exportText(), before);
}

TEST_F(Errors, invalidUtf8ArgumentsAreRefusedBeforeTheStoreIsTouched) {
    // QProcess passes arguments as local 8-bit text; a lone continuation byte goes via the shell.
    EXPECT_TRUE(failed(shell(u"exec \"$0\" add \"$(printf 'caf\\351')\""_s), 1,
                       "quillbrook-cli: argument 2"));
    EXPECT_FALSE(QFile::exists(storePath()));
}

TEST_F(Errors, aStoreThatCannotBeOpenedStopsWithTheFatalMessageAndThree) {
    QDir().mkpath(dataFolder());
    writeFile(u"data/Quillbrook/Quillbrook.store"_s, QByteArray(4096, 'x'));
    EXPECT_TRUE(
        failed(run({u"list"_s, u"today"_s}), 3, "Unable to create a local ModelContainer: "));
    // Rules need no store, so they still work.
    EXPECT_EQ(run({u"rule"_s, u"describe"_s, dailyRule}).status, 0);
    EXPECT_EQ(dataFile(storePath()), QByteArray(4096, 'x'));
}

TEST_F(Errors, helpVersionAndTheCloudArgumentWork) {
    const CliRun help = run({u"--help"_s});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("usage: quillbrook-cli"));
    EXPECT_EQ(run({u"--version"_s}).text(), QStringLiteral("quillbrook-cli " QB_VERSION "\n"));
    EXPECT_EQ(run({u"-cloudKitDisabled"_s, u"list"_s, u"today"_s}).status, 0);
}

using HostileInput = CliFixture;

TEST_F(HostileInput, controlCharactersAreStoredFaithfullyAndNotEchoedRaw) {
    // Errors quote what was typed; the terminal gets no escape sequence from them (read byte
    // by byte, so that a C1 control shows however it is encoded).
    const QRegularExpression terminalControls(u"[\\x{1b}\\x{07}\\x{9b}]"_s);
    for (const auto &[args, status] :
         {std::pair{QStringList{u"\u001b]0;owned\u0007"_s}, 2},
          {QStringList{u"show"_s, u"abcd\u001b[2J"_s}, 1},
          {QStringList{u"add"_s, u"--date"_s, u"\u009b31m\u001b[31m"_s, u"x"_s}, 1}}) {
        const CliRun result = run(args);
        EXPECT_TRUE(failed(result, status));
        EXPECT_FALSE(QString::fromLatin1(result.err).contains(terminalControls));
    }

    const QString title = u"bell\u0007 tab\t esc\u001b[31m red \u0001"_s;
    const QString id = add(title);
    EXPECT_EQ(json({u"show"_s, id})[u"title"].toString(), title);
    const CliRun human = run({u"show"_s, id});
    EXPECT_EQ(human.status, 0);
    EXPECT_FALSE(QString::fromLatin1(human.out).contains(terminalControls));
}
