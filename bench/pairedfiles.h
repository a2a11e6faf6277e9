#pragma once

#include <QString>

namespace qb::bench {

// An import file for the client and one for `task import` holding the same `count` records,
// shaped like years of use (most completed, a third with notes, subtasks and change logs),
// drawn from one seed. Returns false when a file cannot be written.
//
// The open records are dated like their creation, so in the past, unless `openFrom` (Unix
// seconds, the start of a day) is given: then twenty are due that day and the other dated ones
// spread over the 120 days after it.
bool writePairedImportFiles(int count, const QString &ours, const QString &theirs,
                            qint64 openFrom = 0);

} // namespace qb::bench
