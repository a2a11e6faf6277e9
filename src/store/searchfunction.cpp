#include "searchfunction.h"

#include "model/primaryfold.h"
#include "model/textmatcher.h"
#include "sqlite.h"

#include <sqlite3.h>

namespace qb::sql {

namespace {

// Shared by the functions of one connection, so the locale's fold is built once.
struct SearchLocale {
    QString localeId;
    std::shared_ptr<PrimaryFold> fold;
    bool foldTried = false;

    std::shared_ptr<PrimaryFold> primaryFold() {
        if (!foldTried)
            fold = PrimaryFold::forLocale(localeId);
        foldTried = true;
        return fold;
    }
};
using SharedSearchLocale = std::shared_ptr<SearchLocale>;

// The stores keep text as UTF-8, so asking for UTF-8 costs no conversion.
bool matchesValue(const TextMatcher &matcher, sqlite3_value *value) {
    const auto *data = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return data && matcher.matchesUtf8(data, sqlite3_value_bytes(value));
}

QString textArgument(sqlite3_value *value) {
    const auto *data = reinterpret_cast<const char *>(sqlite3_value_text(value));
    if (!data)
        return {};
    return QString::fromUtf8(data, sqlite3_value_bytes(value));
}

// Runs `test` with the matcher for the query in argument `queryArgument`. The query is the
// same for every row of one statement, so its matcher is built once and kept with it.
template <typename Test>
void withMatcher(sqlite3_context *context, sqlite3_value **argv, int queryArgument, Test test) {
    auto *matcher = static_cast<TextMatcher *>(sqlite3_get_auxdata(context, queryArgument));
    if (!matcher) {
        SearchLocale &locale = **static_cast<SharedSearchLocale *>(sqlite3_user_data(context));
        auto created = std::make_unique<TextMatcher>(textArgument(argv[queryArgument]),
                                                     locale.localeId, locale.primaryFold());
        matcher = created.get();
        sqlite3_set_auxdata(context, queryArgument, created.release(),
                            [](void *p) { delete static_cast<TextMatcher *>(p); });
        // SQLite may drop the auxiliary data at once; then it is built again next row.
        if (sqlite3_get_auxdata(context, queryArgument) != matcher) {
            const TextMatcher fallback(textArgument(argv[queryArgument]), locale.localeId,
                                       locale.primaryFold());
            sqlite3_result_int(context, test(fallback) ? 1 : 0);
            return;
        }
    }
    sqlite3_result_int(context, test(*matcher) ? 1 : 0);
}

// qb_contains(text, query)
void contains(sqlite3_context *context, int argc, sqlite3_value **argv) {
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    withMatcher(context, argv, 1,
                [&](const TextMatcher &matcher) { return matchesValue(matcher, argv[0]); });
}

// qb_contains_any(query, text, …): one call per row however many columns are searched.
void containsAny(sqlite3_context *context, int argc, sqlite3_value **argv) {
    if (argc < 2) {
        sqlite3_result_int(context, 0);
        return;
    }
    withMatcher(context, argv, 0, [&](const TextMatcher &matcher) {
        for (int i = 1; i < argc; ++i) {
            if (sqlite3_value_type(argv[i]) != SQLITE_NULL && matchesValue(matcher, argv[i]))
                return true;
        }
        return false;
    });
}

} // namespace

bool registerSearchFunction(Database &db, const QString &localeId) {
    const auto shared = std::make_shared<SearchLocale>(SearchLocale{localeId, nullptr, false});
    const auto add = [&](const char *name, int arguments, auto function) {
        auto locale = std::make_unique<SharedSearchLocale>(shared);
        return sqlite3_create_function_v2(
                   db.handle(), name, arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                   locale.release(), function, nullptr, nullptr,
                   [](void *p) { delete static_cast<SharedSearchLocale *>(p); }) == SQLITE_OK;
    };
    const bool single = add("qb_contains", 2, contains);
    const bool any = add("qb_contains_any", -1, containsAny);
    return single && any;
}

} // namespace qb::sql
