#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

namespace qb {
class ModelContainer;
}

namespace qb::test {

// A store as a user would find it after something went wrong.
struct StoreInspection {
    // Empty when the store opens the way the app opens it and passes quick_check; otherwise
    // what failed.
    QString problem;
    // Every stored row of every table, one line each, sorted: two stores hold the same data
    // exactly when these are equal.
    QStringList rows;

    friend bool operator==(const StoreInspection &, const StoreInspection &) = default;
};

StoreInspection inspectStore(const QString &path);
void PrintTo(const StoreInspection &inspection, std::ostream *out);

// One step of a crash loop: a write through the open container. Returns whether the write
// reported success.
using CrashStep = std::function<bool(ModelContainer &)>;

// Runs `steps` (then closes the store) once without faults to learn what each step leaves; then,
// for every write n of the run, on a fresh store from `makeStore`: the power goes at write n
// (which lands whole for odd n, torn in half for even n), after which the store must open, pass
// quick_check and hold every step that reported success before the cut, the interrupted step
// wholly or not at all, and nothing after it. Returns the number of cuts tried.
int expectEveryCrashRecovers(const std::function<void(const QString &path)> &makeStore,
                             const QList<CrashStep> &steps);

} // namespace qb::test
