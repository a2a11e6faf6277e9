#pragma once

#include "model/todosnapshot.h"
#include "outcome.h"

#include <functional>
#include <optional>

namespace qb {
class Calendar;
}

namespace qb::cli {

class Input;

// Reads an export as it streams in, handing over one to-do at a time with its place in the
// file, and says exactly where a file breaks the format. Derived fields (displayTitle, repeat,
// hasNotes, subtaskProgress, kindTitle) and unknown keys are skipped. Nothing is held but the
// to-do being read, and every part of the file has a size limit (see limits), so neither a
// huge nor a hostile file can exhaust memory.
class ExportReader {
public:
    // Stops the reading with an error when it returns one.
    using Sink = std::function<std::optional<CliError>(TodoSnapshot &&todo, qsizetype index)>;

    explicit ExportReader(const Calendar &calendar);
    ~ExportReader();
    ExportReader(const ExportReader &) = delete;
    ExportReader &operator=(const ExportReader &) = delete;

    // The first problem of the input, the file or the sink; nothing when all went to the sink.
    std::optional<CliError> read(Input &input, const Sink &sink);

private:
    class Handler;
    std::unique_ptr<Handler> m_handler;
};

// How an import names a place in the file: todos[3].subtasks[0].
QString todoPlace(qsizetype todo);

} // namespace qb::cli
