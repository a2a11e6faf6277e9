#pragma once

#include <QTemporaryDir>

namespace qb::test {

// Points XDG_DATA_HOME, XDG_CONFIG_HOME and XDG_CACHE_HOME at folders of a throw-away home
// for as long as it lives, so a test program never touches the developer's real files.
class TemporaryHome {
public:
    TemporaryHome();
    bool isValid() const { return m_home.isValid(); }

private:
    QTemporaryDir m_home;
};

} // namespace qb::test
