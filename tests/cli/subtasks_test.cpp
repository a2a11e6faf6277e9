#include "clifixture.h"

using namespace Qt::Literals::StringLiterals;

using namespace qb::test;

class SubtaskCommands : public CliFixture {
protected:
    static QString idOf(const QJsonValue &value) { return value[u"id"].toString(); }
    QJsonObject subtask(const QStringList &args) {
        return json(QStringList{u"subtask"_s} + args).toObject();
    }
    QStringList shownTitles(const QString &todo) {
        return titles(json({u"show"_s, todo})[u"subtasks"].toArray());
    }
};

TEST_F(SubtaskCommands, addInsertToggleRenameAndDeleteInDisplayOrder) {
    const QString todo = add(u"Trip"_s);
    const QJsonObject first = subtask({u"add"_s, todo, u"Pack"_s});
    const QJsonObject last = subtask({u"add"_s, todo.left(5), u"Go"_s});
    const QJsonObject middle =
        subtask({u"insert"_s, todo, idOf(first).left(6), u"Lock"_s, u"up"_s});
    EXPECT_EQ(middle.value(u"title"_s).toString(), u"Lock up"_s);
    EXPECT_EQ(shownTitles(todo), (QStringList{u"Pack"_s, u"Lock up"_s, u"Go"_s}));

    EXPECT_TRUE(subtask({u"toggle"_s, idOf(first)}).value(u"isCompleted"_s).toBool());
    EXPECT_EQ(subtask({u"rename"_s, idOf(last), u"Leave\nnow"_s}).value(u"title"_s).toString(),
              u"Leave now"_s);
    const QJsonObject deleted = subtask({u"delete"_s, idOf(middle).toLower()});
    EXPECT_EQ(deleted.value(u"title"_s).toString(), u"Lock up"_s);
    EXPECT_EQ(shownTitles(todo), (QStringList{u"Pack"_s, u"Leave now"_s}));
    EXPECT_TRUE(failed(run({u"subtask"_s, u"toggle"_s, idOf(middle)}), 1));
}

TEST_F(SubtaskCommands, refuseEmptyTitlesAndAnotherToDosSubtask) {
    const QString one = add(u"One"_s);
    const QString two = add(u"Two"_s);
    const QString step = idOf(subtask({u"add"_s, one, u"Step"_s}));
    // The last: a to-do's id does not name a subtask.
    for (const QStringList &args : {QStringList{u"add"_s, one, u" \n "_s},
                                    {u"rename"_s, step, u" "_s},
                                    {u"insert"_s, two, step, u"x"_s},
                                    {u"toggle"_s, one}})
        EXPECT_TRUE(failed(run(QStringList{u"subtask"_s} + args), 1))
            << args.join(u' ').toStdString();
    EXPECT_EQ(shownTitles(one), QStringList{u"Step"_s});
    EXPECT_TRUE(shownTitles(two).isEmpty());
}
