#include "clifixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>

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
        {QStringLiteral("frobnicate")},
        {QStringLiteral("--colour"), QStringLiteral("list"), QStringLiteral("today")},
        {QStringLiteral("add")},
        {QStringLiteral("add"), QStringLiteral("--today"), QStringLiteral("--later"),
         QStringLiteral("x")},
        {QStringLiteral("add"), QStringLiteral("--date")},
        {QStringLiteral("add"), QStringLiteral("--soon"), QStringLiteral("x")},
        {QStringLiteral("list")},
        {QStringLiteral("list"), QStringLiteral("tomorrow")},
        {QStringLiteral("move"), QStringLiteral("abcd"), QStringLiteral("sideways")},
        {QStringLiteral("reorder"), QStringLiteral("today"), QStringLiteral("1")},
        {QStringLiteral("subtask"), QStringLiteral("juggle"), QStringLiteral("abcd")},
        {QStringLiteral("rule"), QStringLiteral("next"), QStringLiteral("{}")},
        {QStringLiteral("export"), QStringLiteral("extra")},
    };
    for (const QStringList &args : mistakes) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        expectError(run(args), 2);
    }
}

TEST_F(Errors, badInputExitsWithOneAndChangesNothing) {
    const QString id = add(QStringLiteral("Keep me"));
    const QByteArray before = exportText();
    const QString rule =
        QStringLiteral(R"({"frequency":"fortnightly","weekdays":[],"lastDay":false})");
    const QList<std::pair<QStringList, const char *>> cases{
        {{QStringLiteral("schedule"), id, QStringLiteral("2026-02-30")}, "no such day"},
        {{QStringLiteral("schedule"), id, QStringLiteral("next week")}, "not a day"},
        {{QStringLiteral("add"), QStringLiteral("--date"), QStringLiteral("2026-13-01"),
          QStringLiteral("x")},
         "no such day"},
        {{QStringLiteral("repeat"), id, rule}, "not a repeat rule"},
        {{QStringLiteral("repeat"), id, QStringLiteral(R"({"frequency":"daily","weekdays":[]})")},
         "not a repeat rule"},
        {{QStringLiteral("repeat"), id, QStringLiteral("{not json")}, "not a repeat rule"},
        {{QStringLiteral("rule"), QStringLiteral("describe"), QStringLiteral("[]")},
         "not a repeat rule"},
        {{QStringLiteral("rule"), QStringLiteral("next"),
          QStringLiteral(R"({"frequency":"daily","weekdays":[],"lastDay":false})"),
          QStringLiteral("--from"), QStringLiteral("2026-01-01T25:00")},
         "not a date-time"},
        {{QStringLiteral("rename"), QStringLiteral("0000"), QStringLiteral("x")}, "no to-do"},
        {{QStringLiteral("reorder"), QStringLiteral("today"), QStringLiteral("5"),
          QStringLiteral("0")},
         "FROM"},
        {{QStringLiteral("import"), home.filePath(QStringLiteral("missing.json"))}, "cannot read"},
    };
    for (const auto &[args, fragment] : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        expectError(run(args), 1, fragment);
    }
    expectError(
        run({QStringLiteral("notes"), id, QStringLiteral("-")}, QByteArray("bad \xff\xfe bytes")),
        1, "UTF-8");
    EXPECT_EQ(exportText(), before);
}

TEST_F(Errors, invalidUtf8ArgumentsAreRefusedBeforeTheStoreIsTouched) {
    QProcess process;
    process.setProcessEnvironment(environment());
    // QProcess passes arguments as local 8-bit text; a lone continuation byte goes via the shell.
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("exec \"$0\" add \"$(printf 'caf\\351')\""),
                   QStringLiteral(QB_CLI_PATH)});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().startsWith("quillbrook-cli: argument 2"));
    EXPECT_FALSE(QFile::exists(storePath()));
}

TEST_F(Errors, aStoreThatCannotBeOpenedStopsWithTheFatalMessageAndThree) {
    QDir().mkpath(dataFolder());
    QFile garbage(storePath());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    expectError(run({QStringLiteral("list"), QStringLiteral("today")}), 3,
                "Unable to create a local ModelContainer: ");
    // Rules need no store, so they still work.
    EXPECT_EQ(run({QStringLiteral("rule"), QStringLiteral("describe"),
                   QStringLiteral(R"({"frequency":"daily","weekdays":[],"lastDay":false})")})
                  .status,
              0);
    QFile check(storePath());
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray(4096, 'x'));
}

TEST_F(Errors, helpVersionAndTheCloudArgumentWork) {
    const CliRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("usage: quillbrook-cli"));
    EXPECT_EQ(run({QStringLiteral("--version")}).text(),
              QStringLiteral("quillbrook-cli " QB_VERSION "\n"));
    EXPECT_EQ(
        run({QStringLiteral("-cloudKitDisabled"), QStringLiteral("list"), QStringLiteral("today")})
            .status,
        0);
}

using HostileInput = CliFixture;

TEST_F(HostileInput, controlCharactersAreStoredFaithfullyAndNotEchoedRaw) {
    // Errors quote what was typed; the terminal gets no escape sequence from them.
    for (const QStringList &args :
         {QStringList{QStringLiteral("\u001b]0;owned\u0007")},
          QStringList{QStringLiteral("show"), QStringLiteral("abcd\u001b[2J")},
          QStringList{QStringLiteral("add"), QStringLiteral("--date"),
                      QStringLiteral("\u009b31m\u001b[31m"), QStringLiteral("x")}}) {
        const CliRun failed = run(args);
        EXPECT_NE(failed.status, 0);
        EXPECT_FALSE(failed.err.contains('\x1b')) << failed.err.toStdString();
        EXPECT_FALSE(failed.err.contains('\x07')) << failed.err.toStdString();
        EXPECT_FALSE(failed.err.contains("\xc2\x9b")) << failed.err.toStdString();
        EXPECT_EQ(failed.err.count('\n'), 1);
    }

    const QString title = QStringLiteral("bell\u0007 tab\t esc\u001b[31m red \u0001");
    const QString id = add(title);
    EXPECT_EQ(
        json({QStringLiteral("show"), id}).toObject().value(QStringLiteral("title")).toString(),
        title);
    const CliRun human = run({QStringLiteral("show"), id});
    EXPECT_EQ(human.status, 0);
    EXPECT_FALSE(human.out.contains('\x1b'));
    EXPECT_FALSE(human.out.contains('\x07'));
}
