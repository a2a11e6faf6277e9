#pragma once

#include <sys/stat.h>

namespace qb::test {

// The process's umask, set for as long as this lives.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask)
        : m_saved(::umask(mask)) {}
    ~ScopedUmask() { ::umask(m_saved); }
    ScopedUmask(const ScopedUmask &) = delete;
    ScopedUmask &operator=(const ScopedUmask &) = delete;

private:
    mode_t m_saved;
};

} // namespace qb::test
