#include "searchfunction.h"

#include "model/textmatcher.h"
#include "sqlite.h"

#include <sqlite3.h>

namespace qb::sql {

namespace {

struct SearchLocale {
    QString localeId;
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

void contains(sqlite3_context *context, int argc, sqlite3_value **argv) {
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    // The query is the same for every row of one statement: build its matcher once.
    auto *matcher = static_cast<TextMatcher *>(sqlite3_get_auxdata(context, 1));
    if (!matcher) {
        const auto *locale = static_cast<const SearchLocale *>(sqlite3_user_data(context));
        auto created = std::make_unique<TextMatcher>(textArgument(argv[1]), locale->localeId);
        matcher = created.get();
        sqlite3_set_auxdata(context, 1, created.release(),
                            [](void *p) { delete static_cast<TextMatcher *>(p); });
        // SQLite may drop the auxiliary data at once; then fetch it again next row.
        if (sqlite3_get_auxdata(context, 1) != matcher) {
            TextMatcher fallback(textArgument(argv[1]), locale->localeId);
            sqlite3_result_int(context, matchesValue(fallback, argv[0]) ? 1 : 0);
            return;
        }
    }
    sqlite3_result_int(context, matchesValue(*matcher, argv[0]) ? 1 : 0);
}

} // namespace

bool registerSearchFunction(Database &db, const QString &localeId) {
    auto locale = std::make_unique<SearchLocale>(SearchLocale{localeId});
    const int rc = sqlite3_create_function_v2(
        db.handle(), "qb_contains", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, locale.release(),
        contains, nullptr, nullptr, [](void *p) { delete static_cast<SearchLocale *>(p); });
    return rc == SQLITE_OK;
}

} // namespace qb::sql
