#include "clifixture.h"

using namespace qb::test;

namespace {

QString idOf(const QJsonValue &value) {
    return value.toObject().value(QStringLiteral("id")).toString();
}

} // namespace

class SubtaskCommands : public CliFixture {
protected:
    QJsonObject subtask(const QStringList &args) {
        return json(QStringList{QStringLiteral("subtask")} + args).toObject();
    }
    QStringList shownTitles(const QString &todo) {
        QStringList result;
        const QJsonObject shown = json({QStringLiteral("show"), todo}).toObject();
        for (const auto &s : shown.value(QStringLiteral("subtasks")).toArray())
            result.append(s.toObject().value(QStringLiteral("title")).toString());
        return result;
    }
};

TEST_F(SubtaskCommands, addInsertToggleRenameAndDeleteInDisplayOrder) {
    const QString todo = add(QStringLiteral("Trip"));
    const QJsonObject first = subtask({QStringLiteral("add"), todo, QStringLiteral("Pack")});
    const QJsonObject last = subtask({QStringLiteral("add"), todo.left(5), QStringLiteral("Go")});
    const QJsonObject middle = subtask({QStringLiteral("insert"), todo, idOf(first).left(6),
                                        QStringLiteral("Lock"), QStringLiteral("up")});
    EXPECT_EQ(middle.value(QStringLiteral("title")).toString(), QStringLiteral("Lock up"));
    EXPECT_EQ(shownTitles(todo), (QStringList{QStringLiteral("Pack"), QStringLiteral("Lock up"),
                                              QStringLiteral("Go")}));

    EXPECT_TRUE(subtask({QStringLiteral("toggle"), idOf(first)})
                    .value(QStringLiteral("isCompleted"))
                    .toBool());
    EXPECT_EQ(subtask({QStringLiteral("rename"), idOf(last), QStringLiteral("Leave\nnow")})
                  .value(QStringLiteral("title"))
                  .toString(),
              QStringLiteral("Leave now"));
    const QJsonObject deleted = subtask({QStringLiteral("delete"), idOf(middle).toLower()});
    EXPECT_EQ(deleted.value(QStringLiteral("title")).toString(), QStringLiteral("Lock up"));
    EXPECT_EQ(shownTitles(todo),
              (QStringList{QStringLiteral("Pack"), QStringLiteral("Leave now")}));
    EXPECT_EQ(run({QStringLiteral("subtask"), QStringLiteral("toggle"), idOf(middle)}).status, 1);
}

TEST_F(SubtaskCommands, refuseEmptyTitlesAndAnotherToDosSubtask) {
    const QString one = add(QStringLiteral("One"));
    const QString two = add(QStringLiteral("Two"));
    const QString step = idOf(subtask({QStringLiteral("add"), one, QStringLiteral("Step")}));
    EXPECT_EQ(
        run({QStringLiteral("subtask"), QStringLiteral("add"), one, QStringLiteral(" \n ")}).status,
        1);
    EXPECT_EQ(run({QStringLiteral("subtask"), QStringLiteral("rename"), step, QStringLiteral(" ")})
                  .status,
              1);
    EXPECT_EQ(
        run({QStringLiteral("subtask"), QStringLiteral("insert"), two, step, QStringLiteral("x")})
            .status,
        1);
    // A to-do's id does not name a subtask.
    EXPECT_EQ(run({QStringLiteral("subtask"), QStringLiteral("toggle"), one}).status, 1);
    EXPECT_EQ(shownTitles(one), QStringList{QStringLiteral("Step")});
    EXPECT_TRUE(shownTitles(two).isEmpty());
}
