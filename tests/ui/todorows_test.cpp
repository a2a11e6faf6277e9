#include "models/todorowsmodel.h"
#include "qtprinters.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>

using namespace qb;

namespace {

class TodoRows : public ::testing::Test {
protected:
    TodoRows() {
        for (const char *title : {"a", "b", "c", "d", "e", "f", "g", "h"})
            items.insert(QString::fromLatin1(title), make(QString::fromLatin1(title)));
    }

    static TodoItemPtr make(const QString &title) {
        return std::make_shared<TodoItem>(title, TodoList::Today, QDateTime(), 0, QDateTime());
    }

    // "abc" → rows a, b, c; an upper-case letter puts the row under the section "S".
    QList<TodoRowsModel::Row> rows(const QString &letters) {
        QList<TodoRowsModel::Row> result;
        for (const QChar letter : letters) {
            const QString key = letter.toLower();
            if (!items.contains(key))
                items.insert(key, make(key));
            result.append(
                {items.value(key), letter.isUpper() ? QStringLiteral("S") : QString(), false});
        }
        return result;
    }

    QString shown() const {
        QString result;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QString title =
                qvariant_cast<QObject *>(model.index(row).data(TodoRowsModel::TodoRole))
                    ->property("title")
                    .toString();
            const bool inSection =
                !model.index(row).data(TodoRowsModel::SectionRole).toString().isEmpty();
            result += inSection ? title.toUpper() : title;
        }
        return result;
    }

    void start(const QString &letters) {
        model.setRows(rows(letters));
        inserted.clear();
        removed.clear();
        moved.clear();
        changed.clear();
        counted.clear();
    }

    QHash<QString, TodoItemPtr> items;
    TodoRowsModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QSignalSpy inserted{&model, &QAbstractItemModel::rowsInserted};
    QSignalSpy removed{&model, &QAbstractItemModel::rowsRemoved};
    QSignalSpy moved{&model, &QAbstractItemModel::rowsMoved};
    QSignalSpy reset{&model, &QAbstractItemModel::modelReset};
    QSignalSpy changed{&model, &QAbstractItemModel::dataChanged};
    QSignalSpy counted{&model, &TodoRowsModel::countChanged};
};

TEST_F(TodoRows, anAddedRowIsOneInsertAtItsPlace) {
    start(QStringLiteral("abd"));
    model.setRows(rows(QStringLiteral("abcd")));
    EXPECT_EQ(shown(), QStringLiteral("abcd"));
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.first().at(1).toInt(), 2);
    EXPECT_EQ(removed.count() + moved.count(), 0);
    EXPECT_EQ(counted.count(), 1);
}

TEST_F(TodoRows, removedRowsAreRemovalsAndNothingMoves) {
    start(QStringLiteral("abcde"));
    model.setRows(rows(QStringLiteral("ace")));
    EXPECT_EQ(shown(), QStringLiteral("ace"));
    EXPECT_EQ(removed.count(), 2);
    EXPECT_EQ(inserted.count() + moved.count(), 0);
}

TEST_F(TodoRows, theSameRowsAgainEmitNothing) {
    start(QStringLiteral("abc"));
    model.setRows(rows(QStringLiteral("abc")));
    EXPECT_EQ(inserted.count() + removed.count() + moved.count() + changed.count(), 0);
    EXPECT_EQ(counted.count(), 0);
}

TEST_F(TodoRows, aRowDraggedToTheBottomIsOneMove) {
    start(QStringLiteral("abcdefgh"));
    model.setRows(rows(QStringLiteral("bcdefgha")));
    EXPECT_EQ(shown(), QStringLiteral("bcdefgha"));
    EXPECT_EQ(moved.count(), 1);
    EXPECT_EQ(inserted.count() + removed.count(), 0);
    EXPECT_EQ(counted.count(), 0);
}

TEST_F(TodoRows, aRowDraggedToTheTopIsOneMove) {
    start(QStringLiteral("abcdefgh"));
    model.setRows(rows(QStringLiteral("habcdefg")));
    EXPECT_EQ(shown(), QStringLiteral("habcdefg"));
    EXPECT_EQ(moved.count(), 1);
}

TEST_F(TodoRows, twoRowsTradingPlacesAreOneMove) {
    start(QStringLiteral("abcdef"));
    model.setRows(rows(QStringLiteral("abdcef")));
    EXPECT_EQ(shown(), QStringLiteral("abdcef"));
    EXPECT_EQ(moved.count(), 1);
}

TEST_F(TodoRows, aReversedListKeepsOneRowInPlace) {
    start(QStringLiteral("abcdef"));
    model.setRows(rows(QStringLiteral("fedcba")));
    EXPECT_EQ(shown(), QStringLiteral("fedcba"));
    EXPECT_EQ(moved.count(), 5);
}

TEST_F(TodoRows, insertsRemovalsAndMovesTogetherReachTheTarget) {
    start(QStringLiteral("abcdef"));
    model.setRows(rows(QStringLiteral("gfbxca")));
    EXPECT_EQ(shown(), QStringLiteral("gfbxca"));
    EXPECT_EQ(removed.count(), 2);  // d, e
    EXPECT_EQ(inserted.count(), 2); // g, x
    EXPECT_EQ(moved.count(), 2);    // b, c stay; f and a move
    EXPECT_EQ(reset.count(), 0);
}

TEST_F(TodoRows, insertedRowsCarryTheirOwnSection) {
    start(QStringLiteral("bcd"));
    model.setRows(rows(QStringLiteral("AdbCx")));
    EXPECT_EQ(shown(), QStringLiteral("AdbCx"));
}

TEST_F(TodoRows, aNewSectionTitleIsADataChangeOfThatRowOnly) {
    start(QStringLiteral("abc"));
    model.setRows(rows(QStringLiteral("aBc")));
    EXPECT_EQ(shown(), QStringLiteral("aBc"));
    EXPECT_EQ(inserted.count() + removed.count() + moved.count(), 0);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.first().at(0).toModelIndex().row(), 1);
    EXPECT_EQ(changed.first().at(1).toModelIndex().row(), 1);
    const auto roles = changed.first().at(2).value<QList<int>>();
    EXPECT_TRUE(roles.contains(TodoRowsModel::SectionRole));
}

// Any sequence of lists is reached row by row, never with a reset, and the model stays
// consistent throughout (the tester aborts otherwise).
TEST_F(TodoRows, randomChangesAlwaysEndAtTheTarget) {
    QRandomGenerator random(42);
    const QString alphabet = QStringLiteral("abcdefghijklmnop");
    for (int round = 0; round < 200; ++round) {
        QString target = alphabet;
        std::shuffle(target.begin(), target.end(), random);
        target.truncate(random.bounded(alphabet.size() + 1));
        for (QChar &letter : target) {
            if (random.bounded(3) == 0)
                letter = letter.toUpper();
        }
        model.setRows(rows(target));
        ASSERT_EQ(shown(), target) << "round " << round;
    }
    EXPECT_EQ(reset.count(), 0);
}

} // namespace
