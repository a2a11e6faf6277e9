#pragma once

#include "model/calendar.h"
#include "store/modelcontainer.h"
#include "store/status.h"

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace qb::bench {

// The fixed moment and calendar of every benchmark: generated dates and the queries that read
// them agree on what "today" is, run after run.
QDateTime referenceNow();
const Calendar &referenceCalendar();

// How every benchmark opens a store: searches follow the reference calendar's locale.
ModelContainer::Configuration storeConfiguration(const QString &path);

// Appears in a few percent of titles and notes, so a search has matches to find among many
// rows that it must still read.
inline constexpr auto searchWord = "invoice";

// What a generated store of `todoCount` to-dos holds; the generator checks its output
// against it.
struct StoreShape {
    int todos = 0;
    int dueToday = 0;  // open, dated today or earlier
    int completed = 0; // the long tail of finished work
    int openLater = 0; // open, undated or dated tomorrow or later
};
StoreShape shapeFor(int todoCount);

// Writes a store of `todoCount` to-dos at `path` (which must not exist) shaped like one used
// for years: mostly long completed, a handful due today, about three subtasks and five change
// entries per to-do. The same seed gives the same contents (row keys and ids are random).
// Saves once per batch of to-dos.
Status generateStore(const QString &path, int todoCount, quint32 seed = 1);

// Checks the store at `path` against shapeFor(todoCount), including how often searchWord
// matches.
Status checkStoreShape(const QString &path, int todoCount);

// A generated store of `todoCount` to-dos, made the first time a size is asked for and kept
// in a temporary folder for the rest of the process. Open it for reading only.
Result<QString> cachedStore(int todoCount);

// A copy of the cached store of one size, open for writing, in a folder of its own: files
// written next to the store (its log, the widget snapshot) go when the copy does. Making one
// copies the whole file (about 130 MB at 100,000 to-dos).
class StoreCopy {
public:
    static Result<std::unique_ptr<StoreCopy>> open(int todoCount);
    // Closes the store, then removes the folder.
    ~StoreCopy();
    StoreCopy(const StoreCopy &) = delete;
    StoreCopy &operator=(const StoreCopy &) = delete;

    QString folder() const { return m_folder.path(); }
    QString path() const { return m_path; }
    ModelContainer &container() { return *m_container; }

private:
    StoreCopy();
    QTemporaryDir m_folder;
    QString m_path;
    std::unique_ptr<ModelContainer> m_container;
};

} // namespace qb::bench
