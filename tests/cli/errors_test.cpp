#include "clifixture.h"

#include <QDir>
#include <QFile>

using namespace Qt::Literals::StringLiterals;

using namespace qb::test;

namespace {

void expectError(const CliRun &result, int status, const char *fragment = "") {
    EXPECT_EQ(result.status, status) << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
    EXPECT_TRUE(result.err.startsWith("quillbrook-cli: ")) << result.err.toStdString();
    EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(fragment)) << result.err.toStdString();
}

} // namespace

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
        expectError(run(args), 2);
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
        expectError(run(args), 1, fragment);
    }
    expectError(run({u"notes"_s, id, u"-"_s}, QByteArray("bad \xff\xfe bytes")), 1, "UTF-8");
    EXPECT_EQ(exportText(), before);
}

TEST_F(Errors, invalidUtf8ArgumentsAreRefusedBeforeTheStoreIsTouched) {
    // QProcess passes arguments as local 8-bit text; a lone continuation byte goes via the shell.
    const CliRun result = shell(u"exec \"$0\" add \"$(printf 'caf\\351')\""_s);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.startsWith("quillbrook-cli: argument 2"));
    EXPECT_FALSE(QFile::exists(storePath()));
}

TEST_F(Errors, aStoreThatCannotBeOpenedStopsWithTheFatalMessageAndThree) {
    QDir().mkpath(dataFolder());
    QFile garbage(storePath());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    expectError(run({u"list"_s, u"today"_s}), 3, "Unable to create a local ModelContainer: ");
    // Rules need no store, so they still work.
    EXPECT_EQ(run({u"rule"_s, u"describe"_s, dailyRule}).status, 0);
    QFile check(storePath());
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray(4096, 'x'));
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
    // Errors quote what was typed; the terminal gets no escape sequence from them.
    for (const QStringList &args :
         {QStringList{u"\u001b]0;owned\u0007"_s}, QStringList{u"show"_s, u"abcd\u001b[2J"_s},
          QStringList{u"add"_s, u"--date"_s, u"\u009b31m\u001b[31m"_s, u"x"_s}}) {
        const CliRun failed = run(args);
        EXPECT_NE(failed.status, 0);
        EXPECT_FALSE(failed.err.contains('\x1b')) << failed.err.toStdString();
        EXPECT_FALSE(failed.err.contains('\x07')) << failed.err.toStdString();
        EXPECT_FALSE(failed.err.contains("\xc2\x9b")) << failed.err.toStdString();
        EXPECT_EQ(failed.err.count('\n'), 1);
    }

    const QString title = u"bell\u0007 tab\t esc\u001b[31m red \u0001"_s;
    const QString id = add(title);
    EXPECT_EQ(json({u"show"_s, id})[u"title"].toString(), title);
    const CliRun human = run({u"show"_s, id});
    EXPECT_EQ(human.status, 0);
    EXPECT_FALSE(human.out.contains('\x1b'));
    EXPECT_FALSE(human.out.contains('\x07'));
}
