#pragma once

#include <QStringList>

namespace qb::cli {

// Runs one invocation (arguments include the program name): prints the reply on standard
// output or one "quillbrook-cli: " line on standard error, and returns the exit status.
int run(const QStringList &arguments);

} // namespace qb::cli
