#include "faultvfs.h"
#include "temphome.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// Every test program gets a QCoreApplication (signals, timers, QSettings) and a private,
// throw-away XDG data, config and cache home so nothing touches the developer's real files.
// SQLite runs over the fault-injecting layer, which passes everything through until armed.
int main(int argc, char **argv) {
    qb::test::TemporaryHome home;
    if (!home.isValid())
        return 1;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    qb::test::faultvfs::install();
    return RUN_ALL_TESTS();
}
