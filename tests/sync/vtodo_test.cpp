#include "datafiles.h"
#include "sync/icalcontent.h"
#include "sync/recurrencemapping.h"
#include "sync/vtodo.h"
#include "syncprinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

using namespace qb;
using namespace qb::sync;

namespace {

const QTimeZone newYork("America/New_York");

QByteArray crlf(const char *text) {
    return QByteArray(text).replace("\n", "\r\n");
}

QByteArray wrap(const QByteArray &todoLines) {
    return crlf("BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Other//EN\nBEGIN:VTODO\nUID:u-1\n"
                "DTSTAMP:20240301T120000Z\n") +
           crlf(todoLines + "\n") + crlf("END:VTODO\nEND:VCALENDAR\n");
}

VTodo read(const QByteArray &text) {
    auto parsed = readVTodo(text, newYork);
    EXPECT_TRUE(parsed.ok()) << parsed.message().toStdString();
    return parsed ? parsed.value() : VTodo();
}

QDateTime utc(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s), Qt::UTC);
}

WriteOptions options(ItemKind kind = ItemKind::Todo) {
    return {.kind = kind,
            .uid = u"U-1"_s,
            .parentUid = u"P-1"_s,
            .now = utc(2024, 3, 12, 9),
            .modified = {},
            .localZone = newYork};
}

} // namespace

TEST(VTodoText, aNewObjectReadsBackAsWritten) {
    ItemFields fields;
    fields.title = u"Call Ann; then Bob, \\ maybe"_s;
    fields.notes = QStringLiteral("Line one\nLine two with ü and a very long tail that goes well "
                                  "past the seventy-five octets a content line may hold 🙂");
    fields.day = QDate(2024, 3, 10);
    fields.completed = true;
    fields.completedAt = utc(2024, 3, 10, 18, 30, 5);
    fields.ruleRaw = uR"({"frequency":"monthly","weekdays":[],"lastDay":true})"_s;
    fields.sortOrder = 2.5;
    fields.createdAt = utc(2024, 3, 1, 8);
    fields.log = {
        {QUuid::createUuid(), u"created"_s, QString(),
         QDateTime::fromMSecsSinceEpoch(1709280000123, Qt::UTC)},
        {QUuid::createUuid(), u"titleEdited"_s, u"A → B, C; D"_s,
         QDateTime::fromMSecsSinceEpoch(1709280001456, Qt::UTC)},
        {QUuid::createUuid(), u"kind;of:\"odd\""_s, u""_s,
         QDateTime::fromMSecsSinceEpoch(1709280002789, Qt::UTC)},
    };
    const QByteArray text = writeVTodo({}, fields, options());
    const VTodo back = read(text);
    EXPECT_EQ(back.uid, u"U-1"_s);
    EXPECT_TRUE(back.parentUid.isEmpty());
    EXPECT_EQ(back.fields, fields);
    EXPECT_TRUE(text.contains("DUE;VALUE=DATE:20240310\r\n"));
    EXPECT_TRUE(text.contains("X-APPLE-SORT-ORDER:2500\r\n"));
    EXPECT_TRUE(text.contains("PERCENT-COMPLETE:100\r\n"));
    for (const QByteArray &line : text.split('\n'))
        EXPECT_LE(line.size(), 76) << line.toStdString();

    // Subtasks carry their parent and none of a to-do's other fields.
    ItemFields step;
    step.title = u"Step"_s;
    step.sortOrder = 1.5;
    step.createdAt = utc(2024, 3, 2);
    const QByteArray child = writeVTodo({}, step, options(ItemKind::Subtask));
    EXPECT_EQ(read(child).parentUid, u"P-1"_s);
    EXPECT_EQ(read(child).fields.sortOrder, 1.5);
}

TEST(VTodoText, anEditRewritesOnlyWhatChangedAndKeepsTheRestByteForByte) {
    // A to-do as another client writes it: folded lines, parameters, alarms, a time zone and an
    // override of one occurrence, none of which we use.
    const QByteArray foreign = test::dataFile(QStringLiteral(QB_SYNC_TEST_DIR "/data/foreign.ics"));
    const VTodo was = read(foreign);
    EXPECT_EQ(was.fields.title, u"Buy milk"_s);
    EXPECT_EQ(was.fields.sortOrder, 559033.419);
    EXPECT_EQ(was.sequence, 4);
    // Nothing changed: the very same bytes.
    EXPECT_EQ(writeVTodo(foreign, was.fields, options()), foreign);

    ItemFields edited = was.fields;
    edited.title = u"Buy oat milk"_s;
    edited.completed = true;
    edited.completedAt = utc(2024, 3, 12, 8);
    const QByteArray text = writeVTodo(foreign, edited, options());
    for (const char *kept :
         {"X-WR-CALNAME:Home\r\n", "CATEGORIES:Errands,Home\r\n", "PRIORITY:5\r\n",
          "X-OTHER-APP;X-FLAG=\"a:b\";X-N=2:keep\\, me\r\n",
          "is/\r\n folded/onto/a/second/line.txt\r\n", "DUE;TZID=Europe/Berlin:20240310T003000\r\n",
          "X-APPLE-SORT-ORDER:559033419\r\n",
          "BEGIN:VALARM\r\nTRIGGER;RELATED=END:PT0S\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\n"
          "END:VALARM\r\n",
          "RECURRENCE-ID:20240317T003000\r\nSUMMARY:Override\r\n", "TZOFFSETTO:+0100\r\n"})
        EXPECT_TRUE(text.contains(kept)) << kept;
    EXPECT_FALSE(text.contains("SUMMARY:Buy milk\r\n"));
    EXPECT_FALSE(text.contains("SEQUENCE:4\r\n"));
    const VTodo now = read(text);
    EXPECT_EQ(now.fields, edited);
    EXPECT_EQ(now.sequence, 5);
    EXPECT_EQ(now.modified, options().now);
    // Our lines come before the alarm, which stays inside the to-do.
    EXPECT_LT(text.indexOf("STATUS:COMPLETED"), text.indexOf("BEGIN:VALARM"));
}

TEST(VTodoText, daysAreDatesOrTheLocalDayOfADateTime) {
    const std::pair<const char *, std::optional<QDate>> cases[] = {
        {"DUE;VALUE=DATE:20240310", QDate(2024, 3, 10)},
        // 00:30 in Berlin is still the evening before in New York.
        {"DUE;TZID=Europe/Berlin:20240310T003000", QDate(2024, 3, 9)},
        {"DUE:20240310T033000Z", QDate(2024, 3, 9)},
        {"DUE:20240310T003000", QDate(2024, 3, 10)},
        {"DTSTART;VALUE=DATE:20240311", QDate(2024, 3, 11)},
        {"DTSTART;VALUE=DATE:20240301\nDUE;VALUE=DATE:20240311", QDate(2024, 3, 11)},
        {"DUE:not-a-date", std::nullopt},
        {"SUMMARY:no day", std::nullopt},
    };
    for (const auto &[lines, day] : cases)
        EXPECT_EQ(read(wrap(lines)).fields.day, day) << lines;

    // A new day is a DATE; clearing it takes a start along, which would otherwise become the
    // day when read again.
    const QByteArray dated = wrap("DTSTART:20240301T090000Z\nDUE:20240310T033000Z");
    ItemFields fields = read(dated).fields;
    fields.day = QDate(2024, 3, 20);
    const QByteArray moved = writeVTodo(dated, fields, options());
    EXPECT_TRUE(moved.contains("DUE;VALUE=DATE:20240320\r\nDTSTART;VALUE=DATE:20240320\r\n"));
    fields.day.reset();
    const QByteArray cleared = writeVTodo(dated, fields, options());
    EXPECT_FALSE(cleared.contains("DTSTART"));
    EXPECT_FALSE(read(cleared).fields.day.has_value());
}

TEST(VTodoText, reopeningClearsTheCompletionAndAStatusCompletesAlone) {
    const QByteArray done =
        wrap("STATUS:COMPLETED\nCOMPLETED:20240305T101500Z\nPERCENT-COMPLETE:100");
    ItemFields fields = read(done).fields;
    EXPECT_TRUE(fields.completed);
    EXPECT_EQ(fields.completedAt, utc(2024, 3, 5, 10, 15));
    fields.completed = false;
    fields.completedAt = {};
    const QByteArray reopened = writeVTodo(done, fields, options());
    EXPECT_TRUE(reopened.contains("STATUS:NEEDS-ACTION"));
    EXPECT_FALSE(reopened.contains("COMPLETED:"));
    EXPECT_FALSE(reopened.contains("PERCENT-COMPLETE"));

    // Without a COMPLETED moment the last modification dates it.
    const VTodo bare = read(wrap("STATUS:COMPLETED\nLAST-MODIFIED:20240306T000000Z"));
    EXPECT_TRUE(bare.fields.completed);
    EXPECT_EQ(bare.fields.completedAt, utc(2024, 3, 6));
    EXPECT_TRUE(read(wrap("STATUS:CANCELLED")).fields.completed);
    EXPECT_FALSE(read(wrap("STATUS:IN-PROCESS\nPERCENT-COMPLETE:40")).fields.completed);
}

TEST(VTodoText, repeatRulesMapBothWaysAndOthersStayVerbatim) {
    for (const char *exact :
         {"FREQ=DAILY", "FREQ=WEEKLY", "FREQ=WEEKLY;BYDAY=MO,WE", "FREQ=MONTHLY;BYMONTHDAY=15",
          "FREQ=MONTHLY;BYMONTHDAY=-1", "FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29",
          "FREQ=YEARLY;BYMONTH=12;BYMONTHDAY=-1"}) {
        const QByteArray text = wrap(QByteArray("DUE;VALUE=DATE:20240310\nRRULE:") + exact);
        const ItemFields fields = read(text).fields;
        const auto rule = RecurrenceRule::fromJson(fields.ruleRaw.toUtf8());
        ASSERT_TRUE(rule.has_value()) << exact;
        EXPECT_EQ(recurrenceText(*rule), QByteArray(exact));
    }

    // Every other week is weekly here, and its text survives edits of other fields.
    const QByteArray biweekly =
        wrap("DUE;VALUE=DATE:20240311\nRRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO;UNTIL=20241231");
    ItemFields fields = read(biweekly).fields;
    const auto approximate = RecurrenceRule::fromJson(fields.ruleRaw.toUtf8());
    ASSERT_TRUE(approximate.has_value());
    EXPECT_EQ(approximate->frequency, RecurrenceRule::Frequency::Weekly);
    EXPECT_EQ(approximate->weekdays, QList{1});
    fields.title = u"renamed here"_s;
    fields.day = QDate(2024, 3, 25);
    const QByteArray renamed = writeVTodo(biweekly, fields, options());
    EXPECT_TRUE(renamed.contains("RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO;UNTIL=20241231\r\n"));

    // A rule changed here replaces it.
    fields.ruleRaw = uR"({"frequency":"daily","weekdays":[],"lastDay":false})"_s;
    const QByteArray changed = writeVTodo(renamed, fields, options());
    EXPECT_FALSE(changed.contains("INTERVAL=2"));
    EXPECT_TRUE(changed.contains("RRULE:FREQ=DAILY\r\n"));
    EXPECT_TRUE(changed.contains("DTSTART;VALUE=DATE:20240325\r\n"));
}

TEST(VTodoText, aChildNamesItsParentWithOrWithoutARelationType) {
    for (const auto &[lines, parent] :
         {std::pair{"RELATED-TO;RELTYPE=PARENT:p-9", "p-9"},
          {"RELATED-TO:p-9", "p-9"},
          {"RELATED-TO;RELTYPE=CHILD:c-1", ""},
          {"RELATED-TO;RELTYPE=SIBLING:s\nRELATED-TO;RELTYPE=PARENT:p", "p"}})
        EXPECT_EQ(read(wrap(lines)).parentUid, QLatin1String(parent)) << lines;
}

TEST(VTodoText, refusesWhatIsNotAReadableToDo) {
    for (const QByteArray &text :
         {QByteArray("garbage\r\n"),
          crlf("BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:e\nEND:VEVENT\nEND:VCALENDAR\n"),
          crlf("BEGIN:VCALENDAR\nBEGIN:VTODO\nSUMMARY:x\nEND:VTODO\nEND:VCALENDAR\n"),
          wrap("DESCRIPTION:" + QByteArray(maximumObjectSize, 'x')),
          crlf("BEGIN:VCALENDAR\nBEGIN:VTODO\nUID:t\nSUMMARY:cut")})
        EXPECT_FALSE(readVTodo(text, newYork).ok()) << text.left(60).toStdString();
}
