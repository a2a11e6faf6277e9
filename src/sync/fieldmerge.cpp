#include "sync/fieldmerge.h"

#include <QSet>

namespace qb::sync {

namespace {

enum class Pick { Local, Remote, Conflict };

// Which side a field comes from, given how each side compares with the base.
template <typename Equal>
Pick pick(const std::optional<ItemFields> &base, const ItemFields &local, const ItemFields &remote,
          Equal equal) {
    if (equal(local, remote))
        return Pick::Local;
    if (base && equal(*base, local))
        return Pick::Remote;
    if (base && equal(*base, remote))
        return Pick::Local;
    return Pick::Conflict;
}

QList<LogEntry> mergedLog(const std::optional<ItemFields> &base, const ItemFields &local,
                          const ItemFields &remote) {
    if (!remote.hasLog)
        return local.log;
    if (!local.hasLog)
        return remote.log;
    QSet<QUuid> inBase, inLocal, inRemote;
    if (base && base->hasLog) {
        for (const LogEntry &e : base->log)
            inBase.insert(e.id);
    }
    for (const LogEntry &e : local.log)
        inLocal.insert(e.id);
    for (const LogEntry &e : remote.log)
        inRemote.insert(e.id);
    // Known to both before and gone from one side now: removed (an undone edit).
    const auto removed = [&](const QUuid &id) {
        return inBase.contains(id) && (!inLocal.contains(id) || !inRemote.contains(id));
    };
    QList<LogEntry> log;
    for (const LogEntry &e : local.log) {
        if (!removed(e.id))
            log.append(e);
    }
    for (const LogEntry &e : remote.log) {
        if (!inLocal.contains(e.id) && !removed(e.id))
            log.append(e);
    }
    std::stable_sort(log.begin(), log.end(), [](const LogEntry &a, const LogEntry &b) {
        return a.timestamp < b.timestamp;
    });
    return log;
}

QString appended(const QString &notes, const QString &paragraph) {
    return notes.isEmpty() ? paragraph : notes + QStringLiteral("\n\n") + paragraph;
}

} // namespace

QString otherTitleNote(const QString &title) {
    return QStringLiteral("Also titled: ") + title;
}

QString otherNotesNote(const QString &notes) {
    return QStringLiteral("Notes edited elsewhere at the same time:\n") + notes;
}

ItemFields mergeFields(ItemKind kind, const std::optional<ItemFields> &base, const MergeSide &local,
                       const MergeSide &remote) {
    const ItemFields &l = local.fields;
    const ItemFields &r = remote.fields;
    const bool localLater = local.editedAt > remote.editedAt;
    const ItemFields &later = localLater ? l : r;
    const ItemFields &earlier = localLater ? r : l;
    ItemFields merged = l;

    // Each field group: take one side, or the later edit when both changed it.
    const auto resolve = [&](auto equal, auto take) {
        switch (pick(base, l, r, equal)) {
        case Pick::Local:
            take(l);
            return false;
        case Pick::Remote:
            take(r);
            return false;
        case Pick::Conflict:
            take(later);
            return true;
        }
        return false;
    };
    const bool titleConflict =
        resolve([](const auto &a, const auto &b) { return a.title == b.title; },
                [&](const ItemFields &f) { merged.title = f.title; });
    resolve(
        [](const auto &a, const auto &b) {
            return a.completed == b.completed && a.completedAt == b.completedAt;
        },
        [&](const ItemFields &f) {
            merged.completed = f.completed;
            merged.completedAt = f.completedAt;
        });
    resolve([](const auto &a, const auto &b) { return a.sortOrder == b.sortOrder; },
            [&](const ItemFields &f) { merged.sortOrder = f.sortOrder; });
    merged.createdAt = l.createdAt.isValid() ? l.createdAt : r.createdAt;

    if (kind == ItemKind::Subtask) {
        if (titleConflict && !earlier.title.isEmpty())
            merged.title = later.title + QStringLiteral(" / ") + earlier.title;
        return merged;
    }

    const bool notesConflict =
        resolve([](const auto &a, const auto &b) { return a.notes == b.notes; },
                [&](const ItemFields &f) { merged.notes = f.notes; });
    resolve([](const auto &a, const auto &b) { return a.day == b.day; },
            [&](const ItemFields &f) { merged.day = f.day; });
    resolve([](const auto &a, const auto &b) { return a.ruleRaw == b.ruleRaw; },
            [&](const ItemFields &f) { merged.ruleRaw = f.ruleRaw; });
    merged.log = mergedLog(base, l, r);
    merged.hasLog = l.hasLog || r.hasLog;

    if (notesConflict && !earlier.notes.isEmpty() && !merged.notes.contains(earlier.notes))
        merged.notes = appended(merged.notes, otherNotesNote(earlier.notes));
    if (titleConflict && !earlier.title.isEmpty())
        merged.notes = appended(merged.notes, otherTitleNote(earlier.title));
    return merged;
}

} // namespace qb::sync
