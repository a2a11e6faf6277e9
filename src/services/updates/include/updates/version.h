#pragma once

#include <QStringView>

namespace qb {

// Compares dotted version strings component by component, numerically: 1.10 > 1.9 and
// 1.2 == 1.2.0. Within a component the leading digits decide; when they tie, a component with
// trailing text is the earlier one (1.2b1 < 1.2) and two such texts compare as strings.
// Returns a negative number, zero or a positive number as `a` is older, equal or newer.
int compareVersions(QStringView a, QStringView b);

} // namespace qb
