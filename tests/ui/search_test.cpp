#include "appfixture.h"
#include "models/searchmodel.h"

#include <QAbstractItemModelTester>

using namespace qb;
using qb::test::AppFixture;
using qb::test::ModelSignals;

namespace {

const QString accent = QStringLiteral("#0a84ff");

QString emphasised(const QString &text) {
    return QStringLiteral("<b><font color=\"%1\">%2</font></b>").arg(accent, text);
}

class Search : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        model.setApp(app.get());
    }

    TodoItemPtr addAt(const QString &title, const QDateTime &created,
                      TodoList list = TodoList::Later) {
        const QDateTime before = clockNow();
        setClock(created);
        auto item = store().add(title, list);
        setClock(before);
        return item;
    }
    QStringList titles() const { return AppFixture::titles(model, SearchModel::TodoRole); }
    QString markup(int row) const {
        return model.index(row).data(SearchModel::TitleMarkupRole).toString();
    }
    QString status(int row) const {
        return model.index(row).data(SearchModel::StatusRole).toString();
    }

    SearchModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(Search, listsOpenToDosFirstThenDoneOnesEachNewestFirst) {
    addAt(QStringLiteral("milk a year ago"), at(2023, 3, 9, 12));
    auto done = addAt(QStringLiteral("milk done today"), at(2024, 3, 9, 14));
    store().toggleCompletion(done);
    addAt(QStringLiteral("milk last week"), at(2024, 3, 2, 12));
    auto doneEarlier = addAt(QStringLiteral("milk done last month"), at(2024, 2, 9, 12));
    store().toggleCompletion(doneEarlier);
    addAt(QStringLiteral("bread"), at(2024, 3, 9, 9));

    model.setQuery(QStringLiteral("milk"));
    EXPECT_EQ(titles(), (QStringList{"milk last week", "milk a year ago", "milk done today",
                                     "milk done last month"}));
}

TEST_F(Search, theQueryIsTrimmedAndMatchesAreEmphasisedInTheTitlesOwnCharacters) {
    store().add(QStringLiteral("Buy Milk"), TodoList::Later);
    model.setQuery(QStringLiteral("  milk \n"));
    EXPECT_EQ(model.trimmedQuery(), QStringLiteral("milk"));
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(markup(0), QStringLiteral("Buy ") + emphasised(QStringLiteral("Milk")));

    store().add(QStringLiteral("Café Menu"), TodoList::Later);
    model.setQuery(QStringLiteral("cafe"));
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(markup(0), emphasised(QStringLiteral("Café")) + QStringLiteral(" Menu"));
}

TEST_F(Search, repeatedMatchesDoNotOverlap) {
    store().add(QStringLiteral("aaaa"), TodoList::Later);
    store().add(QStringLiteral("aaa"), TodoList::Later);
    model.setQuery(QStringLiteral("aa"));
    ASSERT_EQ(model.rowCount(), 2);
    const int four = titles().indexOf(QStringLiteral("aaaa"));
    EXPECT_EQ(markup(four), emphasised(QStringLiteral("aa")) + emphasised(QStringLiteral("aa")));
    EXPECT_EQ(markup(1 - four), emphasised(QStringLiteral("aa")) + QStringLiteral("a"));
}

TEST_F(Search, markupEscapesTheTitleAndFollowsTheAccent) {
    store().add(QStringLiteral("Fish & <Chips>"), TodoList::Later);
    model.setQuery(QStringLiteral("chips"));
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(markup(0), QStringLiteral("Fish &amp; &lt;") + emphasised(QStringLiteral("Chips")) +
                             QStringLiteral("&gt;"));

    ModelSignals signals_(&model);
    model.setAccent(QStringLiteral("#ff453a"));
    EXPECT_EQ(signals_.changed.count(), 1);
    EXPECT_TRUE(markup(0).contains(QStringLiteral("#ff453a")));
}

TEST_F(Search, aNotesOnlyMatchShowsTheTitleWithoutEmphasis) {
    auto item = store().add(QStringLiteral("Groceries"), TodoList::Later);
    store().setNotes(item, QStringLiteral("eggs, milk"));
    auto blank = store().add(QString(), TodoList::Later);
    store().setNotes(blank, QStringLiteral("new milk"));
    model.setQuery(QStringLiteral("milk"));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_TRUE(titles().contains(QStringLiteral("Groceries")));
    for (int row = 0; row < model.rowCount(); ++row)
        EXPECT_FALSE(markup(row).contains(QStringLiteral("<b>"))) << row;

    // An empty title reads "New To-Do", which is emphasised where it matches.
    model.setQuery(QStringLiteral("new"));
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(markup(0), emphasised(QStringLiteral("New")) + QStringLiteral(" To-Do"));
}

TEST_F(Search, eachRowSaysWhereItsToDoIs) {
    store().toggleCompletion(store().add(QStringLiteral("x done"), TodoList::Today));
    store().add(QStringLiteral("x undated"), TodoList::Later);
    store().add(QStringLiteral("x overdue"), at(2024, 3, 8));
    store().add(QStringLiteral("x tomorrow"), at(2024, 3, 10));
    store().add(QStringLiteral("x tuesday"), at(2024, 3, 12));
    model.setQuery(QStringLiteral("x"));
    QMap<QString, QString> words;
    for (int row = 0; row < model.rowCount(); ++row)
        words.insert(titles().at(row), status(row));
    EXPECT_EQ(words.value(QStringLiteral("x done")), QStringLiteral("Done"));
    EXPECT_EQ(words.value(QStringLiteral("x undated")), QStringLiteral("Later"));
    EXPECT_EQ(words.value(QStringLiteral("x overdue")), QStringLiteral("Today"));
    EXPECT_EQ(words.value(QStringLiteral("x tomorrow")), QStringLiteral("Tomorrow"));
    EXPECT_EQ(words.value(QStringLiteral("x tuesday")), QStringLiteral("Tue, Mar 12"));
}

TEST_F(Search, aBlankQueryFindsNothing) {
    store().add(QStringLiteral("anything"), TodoList::Later);
    model.setQuery(QStringLiteral(" \n\t"));
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(model.trimmedQuery().isEmpty());
    EXPECT_TRUE(model.isEmpty());
    EXPECT_FALSE(model.canFetchMore({}));
}

TEST_F(Search, manyMatchesLoadAPageAtATime) {
    for (int i = 0; i < 150; ++i) {
        auto item = std::make_shared<TodoItem>(QStringLiteral("match %1").arg(i), TodoList::Later,
                                               QDateTime(), i, now().addSecs(i));
        context().insert(item);
    }
    ASSERT_TRUE(context().save());
    // A tester fetches more itself (from inside the reset, which no view does), so this model
    // gets one only once everything is loaded.
    SearchModel paged;
    paged.setApp(app.get());
    paged.setQuery(QStringLiteral("match"));
    EXPECT_EQ(paged.rowCount(), SearchModel::pageSize);
    EXPECT_TRUE(paged.canFetchMore({}));
    EXPECT_FALSE(paged.isEmpty());
    EXPECT_EQ(AppFixture::titles(paged, SearchModel::TodoRole).first(),
              QStringLiteral("match 149"));

    ModelSignals signals_(&paged);
    paged.fetchMore({});
    EXPECT_EQ(paged.rowCount(), 150);
    EXPECT_FALSE(paged.canFetchMore({}));
    ASSERT_EQ(signals_.inserted.count(), 1);
    EXPECT_EQ(signals_.inserted.first().at(1).toInt(), 100);
    EXPECT_EQ(signals_.inserted.first().at(2).toInt(), 149);
    EXPECT_EQ(AppFixture::titles(paged, SearchModel::TodoRole).last(), QStringLiteral("match 0"));
    QAbstractItemModelTester tester(&paged, QAbstractItemModelTester::FailureReportingMode::Fatal);

    // A save keeps the loaded rows and changes them row by row.
    signals_.clear();
    store().toggleCompletion(find(QStringLiteral("match 149")));
    EXPECT_EQ(paged.rowCount(), 150);
    EXPECT_EQ(AppFixture::titles(paged, SearchModel::TodoRole).last(), QStringLiteral("match 149"));
    EXPECT_EQ(signals_.moved.count(), 1);
    EXPECT_EQ(signals_.reset.count(), 0);
}

TEST_F(Search, storeChangesMoveRowsWithoutAReset) {
    auto first = addAt(QStringLiteral("tea 1"), at(2024, 3, 1));
    addAt(QStringLiteral("tea 2"), at(2024, 3, 2));
    model.setQuery(QStringLiteral("tea"));
    ModelSignals signals_(&model);

    store().toggleCompletion(find(QStringLiteral("tea 2")));
    EXPECT_EQ(titles(), (QStringList{"tea 1", "tea 2"}));
    EXPECT_EQ(status(1), QStringLiteral("Done"));
    store().add(QStringLiteral("tea 3"), TodoList::Later);
    EXPECT_EQ(titles(), (QStringList{"tea 3", "tea 1", "tea 2"}));
    store().remove(first);
    EXPECT_EQ(titles(), (QStringList{"tea 3", "tea 2"}));
    EXPECT_EQ(signals_.moved.count(), 1);
    EXPECT_EQ(signals_.inserted.count(), 1);
    EXPECT_EQ(signals_.removed.count(), 1);
    EXPECT_EQ(signals_.reset.count(), 0);
}

} // namespace
