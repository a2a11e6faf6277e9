#include "tempstore.h"

#include <gtest/gtest.h>

namespace qb::test {

TempFolder::TempFolder() {
    EXPECT_TRUE(m_dir.isValid());
}

} // namespace qb::test
