#include "searchfunction.h"

#include "model/primaryfold.h"
#include "model/textmatcher.h"
#include "sqlite.h"

#include <sqlite3.h>

namespace qb::sql {

namespace {

// Kept with the connection's function, so the locale's fold is built once.
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
        SearchLocale &locale = *static_cast<SearchLocale *>(sqlite3_user_data(context));
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
    auto locale = std::make_unique<SearchLocale>(SearchLocale{localeId, nullptr, false});
    // SQLite owns the locale from here, even when registering fails.
    return sqlite3_create_function_v2(
               db.handle(), "qb_contains_any", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
               locale.release(), containsAny, nullptr, nullptr,
               [](void *p) { delete static_cast<SearchLocale *>(p); }) == SQLITE_OK;
}

} // namespace qb::sql
