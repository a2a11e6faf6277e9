#include "storegenerator.h"

#include "model/changeentry.h"
#include "model/recurrencerule.h"
#include "model/stockqueries.h"
#include "model/subtask.h"
#include "model/todoitem.h"
#include "store/modelcontainer.h"
#include "store/modelcontext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QTemporaryDir>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <random>
#include <vector>

namespace qb::bench {

namespace {

constexpr int historyDays = 5 * 365; // completions reach this far back
constexpr int upcomingDays = 120;    // open to-dos are dated at most this far ahead
constexpr int dueTodayTarget = 20;
// Row keys are random, so every save touches pages all over the growing file; fewer, larger
// saves generate 100,000 to-dos about 40 % faster than 2,000-to-do saves do.
constexpr int todosPerSave = 10000;
constexpr double completedShare = 0.95;
constexpr double searchWordShare = 0.03;
constexpr qint64 hour = 3600;

const char *const actions[] = {
    "Call",   "Email",   "Book",    "Buy",      "Return", "Fix",      "Clean",
    "Review", "Plan",    "Pick up", "Sort out", "Renew",  "Cancel",   "Order",
    "Water",  "Prepare", "Update",  "Print",    "Pack",   "Write to",
};
const char *const objects[] = {
    "the dentist",        "groceries",         "the car service",         "Grandma's present",
    "the garden hose",    "library books",     "the quarterly report",    "passport",
    "gym membership",     "the café booking",  "train tickets to Zürich", "the résumé",
    "balcony plants",     "slides for Monday", "the kitchen shelves",     "running shoes",
    "the landlord",       "the photo album",   "the bike tyres",          "tax documents",
    "Zoë's school forms", "the meter reading", "the team offsite",        "the backup drive",
    "winter coats",
};
const char *const tails[] = {
    "",
    "",
    "",
    "",
    " before Friday",
    " this weekend",
    " after work",
    " for the trip",
    " again",
    " (urgent)",
    " with Sam",
    " next week",
};
const char *const searchWordTitles[] = {
    "Pay the invoice for the plumber",
    "Send the invoice to Müller & Co",
    "Chase the unpaid Invoice from March",
    "File the internet invoice",
};
const char *const noteSentences[] = {
    "Remember to bring the receipt.",
    "Ask about the weekend opening hours.",
    "Reference number is in last week's email.",
    "Only if the weather holds.",
    "Compare prices online first.",
    "Spare key is in the hall drawer.",
    "The café on the corner does it cheaper.",
    "Sizes changed since last time, check first.",
    "Sam said Thursday works best.",
    "Keep the old one until the new one arrives.",
};
const char *const searchWordNotes[] = {
    "Check the invoice number against the receipt.",
    "The Invoice is in the blue folder.",
};
const char *const subtaskTitles[] = {
    "Find the number", "Check opening hours", "Write a list",
    "Ask Sam",         "Compare prices",      "Book a slot",
    "Print the form",  "Confirm by email",    "Set a reminder",
    "Get cash",        "Measure the space",   "Take photos",
};
const char *const scheduledDetails[] = {"Today", "Tomorrow", "Mon, Jan 5", "Fri, Mar 14",
                                        "Sat, Oct 4"};

class Dice {
public:
    explicit Dice(quint32 seed)
        : m_engine(seed) {}

    // Inclusive bounds.
    int between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(m_engine);
    }
    bool chance(double probability) { return std::bernoulli_distribution(probability)(m_engine); }
    template <typename T, std::size_t N> const T &pick(const T (&choices)[N]) {
        return choices[std::size_t(between(0, int(N) - 1))];
    }
    std::mt19937 &engine() { return m_engine; }

private:
    std::mt19937 m_engine;
};

// Starts of the days around the reference moment, computed once: asking ICU for each of
// 100,000 to-dos would dominate generation.
class DayTable {
public:
    DayTable(const QDateTime &now, const Calendar &calendar) {
        const QDateTime today = calendar.startOfDay(now);
        m_starts.reserve(historyDays + upcomingDays + 1);
        for (int offset = -historyDays; offset <= upcomingDays; ++offset)
            m_starts.push_back(
                calendar.addDays(today, offset).value_or(today.addSecs(offset * 24 * hour)));
    }
    // Start of the day `offset` days from today; clamped to the table.
    QDateTime start(int offset) const {
        return m_starts[std::size_t(std::clamp(offset, -historyDays, upcomingDays) + historyDays)];
    }

private:
    std::vector<QDateTime> m_starts;
};

enum class Kind { Completed, DueToday, OpenLater };

class TodoFactory {
public:
    TodoFactory(int todoCount, quint32 seed)
        : m_dice(seed)
        , m_days(referenceNow(), referenceCalendar()) {
        const StoreShape shape = shapeFor(todoCount);
        m_kinds.assign(std::size_t(shape.completed), Kind::Completed);
        m_kinds.insert(m_kinds.end(), std::size_t(shape.dueToday), Kind::DueToday);
        m_kinds.insert(m_kinds.end(), std::size_t(shape.openLater), Kind::OpenLater);
        std::shuffle(m_kinds.begin(), m_kinds.end(), m_dice.engine());
    }

    TodoItemPtr make(int index) {
        switch (m_kinds[std::size_t(index)]) {
        case Kind::Completed:
            return completed(index);
        case Kind::DueToday:
            return dueToday(index);
        case Kind::OpenLater:
            return openLater(index);
        }
        return nullptr;
    }

private:
    // A moment during waking hours of the day `offset` days from today.
    QDateTime during(int offset, int firstHour = 7, int lastHour = 21) {
        return m_days.start(offset).addSecs(
            m_dice.between(int(firstHour * hour), int(lastHour * hour)));
    }

    TodoItemPtr completed(int index) {
        const int doneDay = -m_dice.between(1, historyDays - 30);
        const QDateTime completedAt = during(doneDay, 8, 22);
        QDateTime scheduled;
        if (m_dice.chance(0.6))
            scheduled = m_days.start(doneDay - m_dice.between(0, 3));
        const int createdDay =
            (scheduled.isValid() ? doneDay - 3 : doneDay) - m_dice.between(0, 20);
        const QDateTime createdAt = std::min(during(createdDay), completedAt.addSecs(-60));
        auto item = basic(index, scheduled, createdAt);
        item->setCompleted(true);
        item->setCompletedAt(completedAt);
        addHistory(*item, createdAt, completedAt, true);
        addSubtasks(*item, createdAt, 0.9);
        return item;
    }

    TodoItemPtr dueToday(int index) {
        const int day = m_dice.chance(0.4) ? 0 : -m_dice.between(1, 30);
        // Created no later than 13:00 on a day that is at most today, so before the reference
        // moment (14:30).
        const QDateTime createdAt = during(day - m_dice.between(0, 10), 7, 13);
        auto item = basic(index, m_days.start(day), createdAt);
        addHistory(*item, createdAt, referenceNow(), false);
        addSubtasks(*item, createdAt, 0.3);
        return item;
    }

    TodoItemPtr openLater(int index) {
        QDateTime scheduled;
        if (m_dice.chance(0.5))
            scheduled = m_days.start(m_dice.between(1, upcomingDays));
        const QDateTime createdAt = during(-m_dice.between(0, 200), 7, 13);
        auto item = basic(index, scheduled, createdAt);
        if (m_dice.chance(0.05)) {
            RecurrenceRule rule;
            rule.frequency = RecurrenceRule::Frequency::Weekly;
            rule.weekdays = {m_dice.between(0, 6)};
            item->setRecurrenceRule(rule);
        }
        addHistory(*item, createdAt, referenceNow(), false);
        addSubtasks(*item, createdAt, 0.2);
        return item;
    }

    TodoItemPtr basic(int index, const QDateTime &scheduled, const QDateTime &createdAt) {
        const bool mentionsWord = m_dice.chance(searchWordShare);
        const bool wordInTitle = mentionsWord && m_dice.chance(0.6);
        QString title;
        if (wordInTitle) {
            title = QString::fromUtf8(m_dice.pick(searchWordTitles));
        } else {
            title = QStringLiteral("%1 %2%3").arg(QString::fromUtf8(m_dice.pick(actions)),
                                                  QString::fromUtf8(m_dice.pick(objects)),
                                                  QString::fromUtf8(m_dice.pick(tails)));
        }
        auto item = std::make_shared<TodoItem>(
            title, scheduled.isValid() ? TodoList::Today : TodoList::Later, scheduled,
            double(index), createdAt);
        QStringList notes;
        if (m_dice.chance(0.35)) {
            for (int i = m_dice.between(1, 3); i > 0; --i)
                notes.append(QString::fromUtf8(m_dice.pick(noteSentences)));
        }
        if (mentionsWord && !wordInTitle)
            notes.append(QString::fromUtf8(m_dice.pick(searchWordNotes)));
        if (!notes.isEmpty())
            item->setNotes(notes.join(u' '));
        return item;
    }

    // Three to seven entries, so five on average: created first, completed last when done.
    void addHistory(TodoItem &item, const QDateTime &from, const QDateTime &to, bool done) {
        const int entries = m_dice.between(3, 7);
        const qint64 span = std::max<qint64>(entries, from.secsTo(to));
        item.addChange(std::make_shared<ChangeEntry>(ChangeKind::Created, QString(), from));
        const int middle = entries - 1 - (done ? 1 : 0);
        for (int i = 1; i <= middle; ++i) {
            const QDateTime at = from.addSecs(span * i / entries);
            switch (m_dice.between(0, 4)) {
            case 0:
                item.addChange(std::make_shared<ChangeEntry>(
                    ChangeKind::TitleEdited,
                    QStringLiteral("%1 → %2").arg(QString::fromUtf8(m_dice.pick(objects)),
                                                  item.title()),
                    at));
                break;
            case 1:
                item.addChange(
                    std::make_shared<ChangeEntry>(ChangeKind::NotesEdited, QString(), at));
                break;
            case 2:
                item.addChange(std::make_shared<ChangeEntry>(
                    ChangeKind::Scheduled, QString::fromUtf8(m_dice.pick(scheduledDetails)), at));
                break;
            case 3:
                item.addChange(
                    std::make_shared<ChangeEntry>(ChangeKind::DateCleared, QString(), at));
                break;
            default:
                item.addChange(std::make_shared<ChangeEntry>(ChangeKind::RepeatSet,
                                                             QStringLiteral("Every week"), at));
                break;
            }
        }
        if (done)
            item.addChange(std::make_shared<ChangeEntry>(ChangeKind::Completed, QString(), to));
    }

    // None to six subtasks, so three on average; a to-do without any has no collection.
    void addSubtasks(TodoItem &item, const QDateTime &createdAt, double doneShare) {
        const int count = m_dice.between(0, 6);
        for (int i = 0; i < count; ++i) {
            auto subtask = std::make_shared<Subtask>(QString::fromUtf8(m_dice.pick(subtaskTitles)),
                                                     double(i), createdAt.addSecs(60 * (i + 1)));
            subtask->setCompleted(m_dice.chance(doneShare));
            item.addSubtask(subtask);
        }
    }

    Dice m_dice;
    DayTable m_days;
    std::vector<Kind> m_kinds;
};

// QB_BENCH_STORE_CACHE names a folder that keeps the generated stores between runs, for
// measuring one change again and again; by default they go with the process.
struct StoreCache {
    QTemporaryDir temporary{QDir::tempPath() + QStringLiteral("/quillbrook-bench-XXXXXX")};
    QString kept = qEnvironmentVariable("QB_BENCH_STORE_CACHE");
    QHash<int, QString> stores;

    bool makeFolder() const { return !kept.isEmpty() ? QDir().mkpath(kept) : temporary.isValid(); }
    QString filePath(const QString &name) const {
        return kept.isEmpty() ? temporary.filePath(name) : QDir(kept).filePath(name);
    }
};

StoreCache &storeCache() {
    static StoreCache cache;
    return cache;
}

} // namespace

QDateTime referenceNow() {
    static const QDateTime now =
        QDateTime(QDate(2025, 6, 12), QTime(14, 30), QTimeZone("America/New_York")).toUTC();
    return now;
}

const Calendar &referenceCalendar() {
    static const Calendar calendar(QStringLiteral("en_US"), QStringLiteral("America/New_York"));
    return calendar;
}

ModelContainer::Configuration storeConfiguration(const QString &path) {
    ModelContainer::Configuration configuration;
    configuration.path = path;
    configuration.searchLocaleId = referenceCalendar().localeId();
    return configuration;
}

StoreShape shapeFor(int todoCount) {
    StoreShape shape;
    shape.todos = std::max(0, todoCount);
    shape.dueToday = std::min(dueTodayTarget, shape.todos);
    shape.completed =
        std::min(shape.todos - shape.dueToday, int(std::lround(shape.todos * completedShare)));
    shape.openLater = shape.todos - shape.dueToday - shape.completed;
    return shape;
}

Status generateStore(const QString &path, int todoCount, quint32 seed) {
    if (QFileInfo::exists(path))
        return Status::failure(QStringLiteral("%1 already exists").arg(path));
    auto container = ModelContainer::open(storeConfiguration(path));
    if (!container)
        return Status::failure(container.message());
    TodoFactory factory(todoCount, seed);
    for (int first = 0; first < todoCount; first += todosPerSave) {
        // A context per batch: the identity map of one context would keep every saved record's
        // bookkeeping for the whole run.
        auto context = container.value()->newContext();
        if (!context)
            return Status::failure(context.message());
        const int end = std::min(todoCount, first + todosPerSave);
        for (int index = first; index < end; ++index)
            context.value()->insert(factory.make(index));
        if (auto status = context.value()->save(); !status)
            return status;
    }
    return Status::success();
}

Status checkStoreShape(const QString &path, int todoCount) {
    auto container = ModelContainer::open(storeConfiguration(path));
    if (!container)
        return Status::failure(container.message());
    ModelContext &context = container.value()->mainContext();
    const StoreShape expected = shapeFor(todoCount);
    const QDateTime now = referenceNow();
    const Calendar &calendar = referenceCalendar();

    const struct {
        const char *what;
        TodoPredicate predicate;
        int expected;
    } exact[] = {
        {"to-dos", TodoPredicate::all(), expected.todos},
        {"completed", TodoPredicate::isCompleted(true), expected.completed},
        {"Today", stockqueries::todayList(now, calendar), expected.dueToday},
        {"Later", stockqueries::laterList(now, calendar), expected.openLater},
    };
    for (const auto &check : exact) {
        const auto found = context.count(check.predicate);
        if (!found)
            return Status::failure(found.message());
        if (found.value() != check.expected)
            return Status::failure(QStringLiteral("%1: %2 instead of %3")
                                       .arg(QString::fromLatin1(check.what))
                                       .arg(found.value())
                                       .arg(check.expected));
    }
    // Small stores may by chance have no match at all; large ones must be near the share.
    if (todoCount >= 1000) {
        const auto matches =
            context.count(stockqueries::searchMatch(QString::fromLatin1(searchWord)));
        if (!matches)
            return Status::failure(matches.message());
        const double share = double(matches.value()) / todoCount;
        if (share < searchWordShare / 2 || share > searchWordShare * 2)
            return Status::failure(QStringLiteral("\"%1\" matches %2 to-dos")
                                       .arg(QString::fromLatin1(searchWord))
                                       .arg(matches.value()));
    }
    return Status::success();
}

Result<QString> cachedStore(int todoCount) {
    StoreCache &cache = storeCache();
    if (const auto found = cache.stores.constFind(todoCount); found != cache.stores.cend())
        return *found;
    if (!cache.makeFolder())
        return StoreError{QStringLiteral("No folder for the generated stores")};

    const QString path = cache.filePath(QStringLiteral("todos-%1.store").arg(todoCount));
    if (!cache.kept.isEmpty() && QFileInfo::exists(path) && checkStoreShape(path, todoCount)) {
        cache.stores.insert(todoCount, path);
        return path;
    }
    QElapsedTimer timer;
    timer.start();
    if (auto status = generateStore(path, todoCount); !status)
        return StoreError{status.message()};
    const qint64 elapsed = timer.elapsed();
    if (auto status = checkStoreShape(path, todoCount); !status)
        return StoreError{QStringLiteral("Generated store is off: %1").arg(status.message())};
    std::fprintf(stderr, "Generated %d to-dos in %.1f s (%.1f MB)\n", todoCount,
                 double(elapsed) / 1000, double(QFileInfo(path).size()) / (1024 * 1024));
    cache.stores.insert(todoCount, path);
    return path;
}

StoreCopy::StoreCopy()
    : m_folder(QDir::tempPath() + QStringLiteral("/quillbrook-bench-XXXXXX")) {}

Result<std::unique_ptr<StoreCopy>> StoreCopy::open(int todoCount) {
    const auto source = cachedStore(todoCount);
    if (!source)
        return StoreError{source.message()};
    std::unique_ptr<StoreCopy> copy(new StoreCopy);
    if (!copy->m_folder.isValid())
        return StoreError{
            QStringLiteral("No temporary folder: %1").arg(copy->m_folder.errorString())};
    const QString path = copy->m_folder.filePath(QFileInfo(source.value()).fileName());
    if (!QFile::copy(source.value(), path))
        return StoreError{QStringLiteral("Cannot copy %1 to %2").arg(source.value(), path)};
    auto container = ModelContainer::open(storeConfiguration(path));
    if (!container)
        return StoreError{container.message()};
    copy->m_path = path;
    copy->m_container = std::move(container.value());
    return copy;
}

StoreCopy::~StoreCopy() {
    // The store's connections close before its folder goes.
    m_container.reset();
}

} // namespace qb::bench
