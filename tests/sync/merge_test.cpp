#include "sync/fieldmerge.h"
#include "syncprinters.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::Literals::StringLiterals;

using namespace qb;
using namespace qb::sync;

namespace {

const QDateTime earlier(QDate(2024, 3, 9), QTime(10, 0), Qt::UTC);
const QDateTime later = earlier.addSecs(60);

ItemFields base() {
    ItemFields fields;
    fields.title = u"Title"_s;
    fields.notes = u"Notes"_s;
    fields.day = QDate(2024, 3, 10);
    fields.ruleRaw = uR"({"frequency":"daily","weekdays":[],"lastDay":false})"_s;
    fields.sortOrder = 1;
    fields.createdAt = earlier;
    static const QUuid created = QUuid::createUuid();
    fields.log = {{created, u"created"_s, QString(), earlier}};
    return fields;
}

LogEntry entry(const QString &kind, const QDateTime &at) {
    return {QUuid::createUuid(), kind, QString(), at};
}

} // namespace

TEST(FieldMerge, aFieldChangedOnOneSideTakesThatSideWhicheverEditIsLater) {
    using Edit = std::function<void(ItemFields &)>;
    const QList<Edit> edits = {
        [](ItemFields &f) { f.title = u"Renamed"_s; },
        [](ItemFields &f) { f.notes = u"Other notes"_s; },
        [](ItemFields &f) { f.day = QDate(2024, 4, 1); },
        [](ItemFields &f) { f.day.reset(); },
        [](ItemFields &f) {
            f.completed = true;
            f.completedAt = later;
        },
        [](ItemFields &f) { f.ruleRaw = QString(); },
        [](ItemFields &f) { f.sortOrder = 7.5; },
    };
    for (qsizetype i = 0; i < edits.size(); ++i) {
        ItemFields changed = base();
        edits[i](changed);
        // The unchanged side is the later one either way.
        EXPECT_EQ(mergeFields(ItemKind::Todo, base(), {changed, earlier}, {base(), later}), changed)
            << "edit " << i << " made here";
        EXPECT_EQ(mergeFields(ItemKind::Todo, base(), {base(), later}, {changed, earlier}), changed)
            << "edit " << i << " made there";
    }
}

TEST(FieldMerge, bothSidesChangingAFieldTakeTheLaterEditAndKeepTheOtherText) {
    ItemFields here = base(), there = base();
    here.title = u"Here"_s;
    here.notes = u"Notes from here"_s;
    here.sortOrder = 3;
    there.title = u"There"_s;
    there.notes = u"Notes from there"_s;
    there.sortOrder = 4;
    there.day = QDate(2024, 5, 5);

    const ItemFields merged = mergeFields(ItemKind::Todo, base(), {here, earlier}, {there, later});
    EXPECT_EQ(merged.title, u"There"_s);
    EXPECT_EQ(merged.sortOrder, 4);
    EXPECT_EQ(merged.day, QDate(2024, 5, 5));
    EXPECT_EQ(merged.notes, u"Notes from there\n\n"_s + otherNotesNote(u"Notes from here"_s) +
                                u"\n\n"_s + otherTitleNote(u"Here"_s));

    // Without a version both agreed on, every difference is a change on both sides.
    ItemFields fresh = there;
    fresh.title = u"Fresh"_s;
    const ItemFields unbased =
        mergeFields(ItemKind::Todo, std::nullopt, {fresh, later}, {there, earlier});
    EXPECT_EQ(unbased.title, u"Fresh"_s);
    EXPECT_TRUE(unbased.notes.endsWith(otherTitleNote(u"There"_s)));

    // A subtask has no notes: both titles stay in the line.
    ItemFields step = base(), stepThere = base();
    step.title = u"Buy bread"_s;
    stepThere.title = u"Buy rolls"_s;
    EXPECT_EQ(mergeFields(ItemKind::Subtask, base(), {step, later}, {stepThere, earlier}).title,
              u"Buy bread / Buy rolls"_s);
}

TEST(FieldMerge, theLogKeepsEntriesAddedOnEitherSideAndDropsOnesRemovedOnEither) {
    ItemFields here = base(), there = base();
    const LogEntry renamed = entry(u"titleEdited"_s, later);
    const LogEntry scheduled = entry(u"scheduled"_s, later.addSecs(1));
    const LogEntry undone = entry(u"notesEdited"_s, later);
    ItemFields agreed = base();
    agreed.log.append(undone);
    here.log = {agreed.log.first(), renamed, undone};
    there.log = {agreed.log.first(), scheduled}; // undone there
    const ItemFields merged = mergeFields(ItemKind::Todo, agreed, {here, earlier}, {there, later});
    EXPECT_EQ(merged.log, (QList<LogEntry>{agreed.log.first(), renamed, scheduled}));

    // A client that drops our log says nothing about it.
    ItemFields stripped = there;
    stripped.hasLog = false;
    stripped.log.clear();
    EXPECT_EQ(mergeFields(ItemKind::Todo, agreed, {here, earlier}, {stripped, later}).log,
              here.log);
}
