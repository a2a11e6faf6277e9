#pragma once

#include <QString>

namespace qb::sql {

class Database;

// Registers qb_contains_any(query, text, …) on the connection: ICU primary-strength
// containment in the given locale, so search is case-, diacritic- and width-insensitive.
bool registerSearchFunction(Database &db, const QString &localeId);

} // namespace qb::sql
