#pragma once

#include "outcome.h"

#include <QByteArrayView>

#include <cstdio>
#include <optional>

namespace qb::cli {

// Standard output, for replies and for an export streamed as it is read. A write that fails
// (a full disk under a redirection) is remembered, so the client reports it instead of success.
class Output {
public:
    explicit Output(std::FILE *stream)
        : m_stream(stream) {}

    // False once anything failed; later writes are dropped.
    bool write(QByteArrayView bytes);
    // Flushes; the error, if anything failed.
    std::optional<CliError> finish();

private:
    std::FILE *m_stream;
    int m_error = 0;
};

} // namespace qb::cli
