#pragma once

#include "model/calendar.h"
#include "model/todoitem.h"
#include "qtprinters.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"
#include "tempstore.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <type_traits>

namespace qb::test {

// `field` of each of `items`, in order: the titles or ids of fetched records, say.
template <typename Item, typename Field> auto each(const QList<Item> &items, Field field) {
    QList<std::decay_t<std::invoke_result_t<Field, const Item &>>> values;
    for (const Item &item : items)
        values.append(std::invoke(field, item));
    return values;
}

// The one to-do titled `title` in `context`; null when there is none or more than one.
inline TodoItemPtr only(ModelContext &context, const QString &title) {
    TodoFetch request;
    request.predicate = TodoPredicate::textEquals(TodoPredicate::TextField::Title, title);
    const auto found = context.fetch(request).valueOr({});
    return found.size() == 1 ? found.first() : nullptr;
}

// A real store file in a temporary folder, opened with a pinned search locale.
class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override { openStore(); }

    void openStore() {
        ModelContainer::Configuration configuration;
        configuration.path = path();
        auto opened = ModelContainer::open(configuration);
        ASSERT_TRUE(opened.ok()) << opened.message().toStdString();
        container = std::move(opened.value());
    }
    void closeStore() { container.reset(); }

    QString path() const { return folder.filePath(QStringLiteral("Test.store")); }
    ModelContext &context() { return container->mainContext(); }

    // A second, independent connection to the same file: what another process would do.
    std::unique_ptr<ModelContext> otherConnection() {
        auto other = container->newContext();
        EXPECT_TRUE(other.ok());
        return other ? std::move(other.value()) : nullptr;
    }

    TodoItemPtr addTodo(const QString &title, const QDateTime &scheduled = {},
                        double sortOrder = 0) {
        auto item = std::make_shared<TodoItem>(
            title, scheduled.isValid() ? TodoList::Today : TodoList::Later, scheduled, sortOrder,
            now());
        context().insert(item);
        return item;
    }

    static QDateTime at(int y, int m, int d, int h = 0, int min = 0,
                        const char *zone = "America/New_York") {
        return QDateTime(QDate(y, m, d), QTime(h, min), QTimeZone(zone)).toUTC();
    }
    static QDateTime now() { return at(2024, 3, 9, 15, 0); }

    TempFolder folder;
    std::unique_ptr<ModelContainer> container;
    Calendar calendar{QStringLiteral("en_US"), QStringLiteral("America/New_York")};
};

} // namespace qb::test
