#pragma once

#include "store/modelcontainer.h"
#include "store/modelcontext.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <memory>

// Store files made, opened and read directly, for the store tests.
namespace qb::test {

inline Result<std::unique_ptr<ModelContainer>> openAt(const QString &path) {
    ModelContainer::Configuration configuration;
    configuration.path = path;
    return ModelContainer::open(configuration);
}

inline QDateTime created() {
    return QDateTime(QDate(2024, 3, 9), QTime(15, 0), QTimeZone::utc());
}

inline TodoItemPtr addTodo(ModelContext &context, const QString &title, int noteLength = 0) {
    auto item = std::make_shared<TodoItem>(title, TodoList::Later, QDateTime(), 0, created());
    item->setNotes(QString(noteLength, u'n'));
    context.insert(item);
    return item;
}

// A store of `todos` to-dos, each with a subtask, closed cleanly.
inline void makeStore(const QString &path, int todos, int noteLength = 100) {
    auto container = openAt(path);
    ASSERT_TRUE(container.ok()) << qPrintable(container.message());
    auto &context = container.value()->mainContext();
    for (int i = 0; i < todos; ++i) {
        const auto item = addTodo(context, QStringLiteral("Stored %1").arg(i), noteLength);
        item->addSubtask(std::make_shared<Subtask>(QStringLiteral("line"), 0, created()));
    }
    ASSERT_TRUE(context.save().ok());
}

// Runs `sql` on the file at `path` through a connection of its own, as another program would,
// and returns the first column of the rows it gives.
inline QStringList runSql(const QString &path, const QByteArray &sql) {
    QStringList rows;
    sqlite3 *db = nullptr;
    EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    const auto collect = [](void *rows, int, char **values, char **) {
        static_cast<QStringList *>(rows)->append(QString::fromUtf8(values[0]));
        return 0;
    };
    EXPECT_EQ(sqlite3_exec(db, sql.constData(), collect, &rows, nullptr), SQLITE_OK)
        << sql.constData();
    sqlite3_close(db);
    return rows;
}

inline QByteArray fileDigest(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

// The titles of the to-dos matching `predicate`, in title order.
inline QStringList titlesIn(ModelContext &context,
                            const TodoPredicate &predicate = TodoPredicate::all()) {
    TodoFetch request;
    request.predicate = predicate;
    request.sort = {{TodoSort::Field::Title, true}};
    QStringList titles;
    for (const auto &item : context.fetch(request).valueOr({}))
        titles.append(item->title());
    return titles;
}

} // namespace qb::test
