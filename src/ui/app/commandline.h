#pragma once

#include <cstdio>
#include <optional>

namespace qb {

// `--help` and `--version` are answered before any window or display is touched: the text goes
// to `out` and the returned status ends the program. Nothing for any other command line.
std::optional<int> answerInformationalArguments(int argc, const char *const *argv, std::FILE *out);

} // namespace qb
